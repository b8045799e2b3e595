#include "app/ClipViewer.h"

#include <cstdio>
#include <string>
#include <utility>

#include "app/ViewerTexts.h"
#include "win32/quellor_host.h"
#include "window/ViewerResources.h"

namespace quellor::clipviewer {

ClipViewer* ClipViewer::current_ = nullptr;

ClipViewer::ClipViewer(ViewerHooks hooks)
    : hooks_(std::move(hooks)),
      module_(win32::ModuleFromAddress(reinterpret_cast<const void*>(&RegisterViewerResources))),
      window_(*this, module_) {
  previous_ = std::exchange(current_, this);
}

ClipViewer::~ClipViewer() {
  window_.Destroy();
  hub_.reset();
  window_.UnregisterWindowClass();
  if (current_ == this) current_ = previous_;
}

void ClipViewer::CreateHub() {
  hub_.reset();
  hub_ = std::make_unique<OutputHub>(1, state_.videoMode == VideoMode::Ntsc, kHubName, 0);
}

void ClipViewer::RunDisplayRoutine() {
  ++state_.displayCallCount;
  if (state_.displayCallCount <= 2) return;
  if (hooks_.renderOutput) hooks_.renderOutput(*this);
}

bool ClipViewer::ShowDialog(ViewerDialog which, const std::function<void(ClipViewer&)>& dialog) {
  if (!dialog) return false;
  return dialogs_.RunOnce(which, [&] { dialog(*this); });
}

}  // namespace quellor::clipviewer
