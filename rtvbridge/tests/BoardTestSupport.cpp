#include "BoardTestSupport.h"

#include "board/BoardControl.h"
#include "board/Support.h"

namespace quellor::rtvbridge::testing {

bool WaitFor(const std::function<bool()>& done) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return done();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

InputWatcher::InputWatcher() {
  instance_ = RTME_OpenEngine();
  probe_ = RTME_CreateProbe(RTME_GetMediaContext(instance_), "tests.input.watcher");
  owner_ = RTME_GetProbeBufferOwner(probe_);
  EXPECT_TRUE(RTME_AttachProbe(probe_, RTME_PIN_INPUT));
  EXPECT_TRUE(RTME_SetProbeCallback(probe_, this, &InputWatcher::OnField));
}

InputWatcher::~InputWatcher() {
  RTME_AttachProbe(probe_, nullptr);
  RTME_DestroyProbe(probe_);
  RTME_CloseEngine(instance_);
}

DWORD InputWatcher::OnField(void* context, const BYTE* pixels, const RTME_FieldInfo* info) {
  auto* self = static_cast<InputWatcher*>(context);
  {
    std::lock_guard lock(self->mutex_);
    self->fields_[info->timeStamp] = Bytes(pixels, pixels + info->fieldBytes);
  }
  return Harmonex_ReleaseField(self->owner_, info->bufferToken);
}

Bytes InputWatcher::Frame(std::uint32_t stamp) const {
  std::lock_guard lock(mutex_);
  const auto first = fields_.find(stamp);
  const auto second = fields_.find(stamp + 1);
  if (first == fields_.end() || second == fields_.end()) return {};
  Bytes frame = first->second;
  frame.insert(frame.end(), second->second.begin(), second->second.end());
  return frame;
}

Bytes ShownFrame() {
  board::BoardFrame frame;
  std::string error;
  if (!board::ReadShownFrame(frame, error)) return {};
  return frame.pixels;
}

}  // namespace quellor::rtvbridge::testing
