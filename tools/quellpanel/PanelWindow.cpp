#include "PanelWindow.h"

#include <qlxrapi/ClassList.h>
#include <qlxrapi/DefaultResources.h>
#include <qlxrapi/FileSelectNames.h>
#include <qlxrapi/UtilLib_Canvas.h>
#include <qlxrapi/UtilLib_ListBox.h>
#include <qlxrapi/UtilLib_Menu.h>
#include <qlxrapi/UtilLib_MenuButton.h>
#include <qlxrapi/UtilLib_ToggleButton.h>

#include <cstring>

#include "GraphValues.h"
#include "videoproc/ChromaKey.h"
#include "videoproc/RTVFileInput.h"
#include "videoproc/VideoGradient.h"
#include "videoproc/VideoQuellorOutput.h"
#include "videoproc/WaveformMonitor.h"

namespace quellor::quellpanel {
namespace {

constexpr long kRowHeight = 30;
constexpr long kMenuRoom = 110;
constexpr long kListHeight = 92, kLineHeight = 18;
// The scope's own size (its graticule pictures are made for it).
constexpr long kScopeWidth = 360, kScopeHeight = 256;
// The listener id of the clip list (the speed menus count from 0).
constexpr long kClipListId = 1L << 20;
const char* const kSpeedNames[] = {"Still", "Normal", "Double", "Backwards"};
const char* const kSpeedValues[] = {"0", "1", "2", "-1"};

template <typename Control>
Control* MakeControl(const char* className, HWND parent, long x, long y, long width, long height,
                     DWORD style = WS_CHILD | WS_VISIBLE, const char* title = "") {
  return dynamic_cast<Control*>(Orvane_New(const_cast<char*>(className), parent, x, y, width,
                                           height, const_cast<char*>(title), style, 0));
}

}  // namespace

PanelWindow::PanelWindow(PanelGraph& graph) : m_graph(graph) {
  m_background.ScreenObjectSolid_SetColor(28, 36, 58);
}

PanelWindow::~PanelWindow() {
  RemoveAllDependantsToThis();
  for (UtilLib_Menu* menu : m_speedMenus) delete menu;
  if (HWND window = Window(); window != nullptr && IsWindow(window)) ::DestroyWindow(window);
}

HWND PanelWindow::Window() const {
  return m_canvas != nullptr ? m_canvas->GetWindowHandle() : nullptr;
}

ValueRow* PanelWindow::Row(const std::string& name) {
  for (auto& row : m_rows)
    if (row->Name() == name) return row.get();
  return nullptr;
}

void PanelWindow::AddRows(PanelNode& node) {
  if (auto* gradient = dynamic_cast<VideoGradient*>(node.node)) {
    static const char* const kCorners[] = {"tl", "tr", "bl", "br"};
    for (int i = 0; i < 4; ++i) {
      const auto corner = static_cast<VideoGradientCorner>(i);
      std::uint8_t y = 0, u = 0, v = 0;
      gradient->GetCorner(corner, &y, &u, &v);
      m_rows.push_back(std::make_unique<ValueRow>(
          node.name + "." + kCorners[i], 16.0f, 235.0f, float(y), [gradient, corner](float luma) {
            std::uint8_t oldY = 0, oldU = 0, oldV = 0;
            gradient->GetCorner(corner, &oldY, &oldU, &oldV);
            gradient->SetCorner(corner, static_cast<std::uint8_t>(luma + 0.5f), oldU, oldV);
          }));
    }
  } else if (auto* key = dynamic_cast<ChromaKey*>(node.node)) {
    m_rows.push_back(std::make_unique<ValueRow>(
        node.name + ".tolerance", 0.0f, 255.0f, float(key->GetLowThreshold()), [key](float t) {
          key->SetToleranceValues(static_cast<unsigned>(t), key->GetSoftness(), key->GetMaximum());
        }));
    m_rows.push_back(std::make_unique<ValueRow>(
        node.name + ".softness", 0.0f, 255.0f, float(key->GetSoftness()), [key](float s) {
          key->SetToleranceValues(key->GetLowThreshold(), static_cast<unsigned>(s),
                                  key->GetMaximum());
        }));
  }
}

void PanelWindow::SkinButton(Controls_Button* button, const char* text) {
  auto* label = new TextItem(const_cast<char*>(text));
  label->SetAlignment(33 | 64);
  label->SetColor(20, 24, 40);
  m_looks.emplace_back(label);
  ScreenObject_Resource* const defaults[4] = {DefaultButton_Up, DefaultButton_Dn, DefaultButton_Ro,
                                              DefaultButton_RoDn};
  for (int state = 0; state < 4; ++state) {
    auto* look = new ScreenObject_Composite;
    if (defaults[state] != nullptr) look->ScreenObject_Composite_AddChild(defaults[state], false);
    look->ScreenObject_Composite_AddChild(label, false);
    m_looks.emplace_back(look);
    button->Button_SetResource(state, look);
  }
}

bool PanelWindow::Open(std::string& error) {
  for (PanelNode& node : m_graph.Nodes()) {
    AddRows(node);
    if (m_clips == nullptr) m_clips = dynamic_cast<RTVFileInput*>(node.node);
  }
  m_outputs = m_graph.Outputs();
  // Room under the last row for the speed menu to drop into, then the clip
  // list and the scope.
  const long controls = 20 + kRowHeight * long(m_rows.size() + m_outputs.size()) + kMenuRoom;
  const long height = controls + (m_clips != nullptr ? kListHeight + 10 : 0) + kScopeHeight + 12;
  m_canvas = MakeControl<UtilLib_Canvas>("UtilLib_Canvas", nullptr, kLeft, kTop, kWidth, height,
                                         WS_POPUP | WS_VISIBLE, "quellpanel");
  if (m_canvas == nullptr) return error = "cannot open the panel window", false;
  m_canvas->Canvas_SetResource(&m_background);
  // The panel keeps its size rather than its background's preference.
  SetWindowPos(Window(), nullptr, 0, 0, kWidth, height, SWP_NOMOVE | SWP_NOZORDER);
  long y = 20;
  for (auto& row : m_rows) {
    if (!row->Open(Window(), y)) return error = "cannot make the controls of " + row->Name(), false;
    y += kRowHeight;
  }
  for (VideoQuellorOutput* output : m_outputs) {
    auto* loop =
        MakeControl<UtilLib_ToggleButton>("UtilLib_ToggleButton", Window(), 12, y, 135, 24);
    auto* speed = MakeControl<UtilLib_MenuButton>("UtilLib_MenuButton", Window(), 160, y, 135, 24);
    if (loop == nullptr || speed == nullptr)
      return error = "cannot make the output's buttons", false;
    SkinButton(loop, "  Loop");
    loop->Button_UseVariable(output->GetLoopingMode());
    loop->Button_SetSelectedState(1);
    m_loopButtons.push_back(loop);
    SkinButton(speed, "  Speed ...");
    auto* menu = new UtilLib_Menu;
    for (const char* name : kSpeedNames) {
      UtilLib_MenuItem* item = menu->UtilLib_Menu_AddMenuItem();
      item->SetText(const_cast<char*>(name));
    }
    speed->UtilLib_MenuButton_AssignMenu(menu);
    // The choice counts when the menu loop ends (hovering only points).
    speed->Button_GetVariable()->AddDependant(this, long(m_speedMenus.size()));
    m_speedMenus.push_back(menu);
    m_speedButtons.push_back(speed);
    y += kRowHeight;
  }
  y = controls;
  if (m_clips != nullptr) {
    if (!OpenClipList(y, error)) return false;
    y += kListHeight + 10;
  }
  OpenScope(y);
  return true;
}

bool PanelWindow::OpenClipList(long y, std::string& error) {
  m_clipList =
      MakeControl<UtilLib_ListBox>("UtilLib_ListBox", Window(), 12, y, kWidth - 24, kListHeight);
  if (m_clipList == nullptr) return error = "cannot make the clip list", false;
  auto* look = new ScreenObjectSolid;
  look->ScreenObjectSolid_SetColor(16, 20, 34);
  m_lineLooks.emplace_back(look);
  m_clipList->Canvas_SetResource(look);
  SetWindowPos(m_clipList->GetWindowHandle(), nullptr, 0, 0, kWidth - 24, kListHeight,
               SWP_NOMOVE | SWP_NOZORDER);
  m_clipList->AddDependant(this, kClipListId);
  m_clips->FileSelect_LockList();
  for (unsigned i = 0; i < m_clips->FileSelect_GetNoFiles(); ++i)
    AddClipLine(m_clips->FileSelect_Get(i));
  m_clips->FileSelect_UnLockList();
  return true;
}

void PanelWindow::AddClipLine(const char* path) {
  if (path == nullptr || m_clipList == nullptr) return;
  auto* text = new TextItem(const_cast<char*>(path));
  text->SetAlignment(33 | 64);
  text->SetColor(220, 226, 240);
  m_lineLooks.emplace_back(text);
  auto* line = MakeControl<UtilLib_Canvas>("UtilLib_Canvas", m_clipList->GetWindowHandle(), 0, 0,
                                           kWidth - 28, kLineHeight);
  if (line == nullptr) return;
  line->Canvas_SetResource(text);
  SetWindowPos(line->GetWindowHandle(), nullptr, 0, 0, kWidth - 28, kLineHeight,
               SWP_NOMOVE | SWP_NOZORDER);
  m_clipList->Layout_PerformLayout(m_clipList->GetWindowHandle(), true);
}

void PanelWindow::ClipsDropped(FileSelectNames* names) {
  if (names == nullptr || m_clips == nullptr) return;
  names->FileSelect_LockList();
  for (unsigned i = 0; i < names->FileSelect_GetNoFiles(); ++i) {
    const char* path = names->FileSelect_Get(i);
    if (path == nullptr) continue;
    // Appended: the clips already listed keep their places on the time line.
    m_clips->FileSelect_Set(0xFFFFFFFFul, path);
    AddClipLine(path);
  }
  names->FileSelect_UnLockList();
}

void PanelWindow::OpenScope(long y) {
  std::string none;
  try {
    m_scope =
        MakeControl<WaveformMonitor>("WaveformMonitorOut", Window(), (kWidth - kScopeWidth) / 2, y,
                                     kScopeWidth, kScopeHeight, WS_CHILD | WS_VISIBLE);
  } catch (...) {
    // Without the board's engine the panel works on without its scope.
    m_scope = nullptr;
  }
}

void PanelWindow::DynamicCallback(long id, const char* name, void* args) {
  if (name == nullptr) return;
  if (id == kClipListId) {
    if (std::strcmp(name, "DynamicTalker::Delete") == 0) {
      m_clipList = nullptr;
    } else if (std::strcmp(name, "BaseWindowClass::FilesDropped") == 0 && args != nullptr) {
      void** words = static_cast<void**>(args);
      ClipsDropped(static_cast<FileSelectNames*>(words[0]));
      if (words[1] != nullptr) *static_cast<bool*>(words[1]) = true;
    }
    return;
  }
  if (std::strcmp(name, "DynamicTalker::Delete") == 0) return;
  if (id < 0 || std::size_t(id) >= m_speedMenus.size()) return;
  if (m_speedButtons[std::size_t(id)]->Button_GetVariable()->Get() !=
      UtilLib_Menu::kNothingSelected)
    return;
  const int chosen = m_speedMenus[std::size_t(id)]->GetSelection()->Get();
  if (chosen < 1 || chosen > 4) return;
  std::string error;
  quellhost::SetOutputValue(m_outputs[std::size_t(id)], "speed", kSpeedValues[chosen - 1], error);
}

}  // namespace quellor::quellpanel
