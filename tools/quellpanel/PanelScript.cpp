#include "PanelScript.h"

#include <board/BoardControl.h>
#include <board/testing/BoardClock.h>
#include <qlxrapi/MessageQueue.h>
#include <qlxrapi/UtilLib_Edit.h>
#include <qlxrapi/UtilLib_ListBox.h>
#include <qlxrapi/UtilLib_Menu.h>
#include <qlxrapi/UtilLib_MenuButton.h>
#include <qlxrapi/UtilLib_Slider.h>
#include <qlxrapi/UtilLib_ToggleButton.h>
#include <win32/automation/Desktop.h>
#include <win32/automation/Shell.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>

#include "FieldPacing.h"
#include "PanelGraph.h"
#include "PanelWindow.h"
#include "videoproc/RTVFileInput.h"
#include "videoproc/VideoQuellorOutput.h"
#include "videoproc/WaveformMonitor.h"

namespace quellor::quellpanel {
namespace {

using desktop::Button;

// Runs the panel's messages, and forgets a quit the loop leaves.
void Pump() {
  FlushMessageQueue();
}

POINT ScreenOf(HWND window, long x, long y) {
  POINT p{static_cast<LONG>(x), static_cast<LONG>(y)};
  ClientToScreen(window, &p);
  return p;
}

// A message between two moves keeps the queue from folding them into one.
void MoveTo(HWND panel, POINT p) {
  desktop::MoveMouse(p.x, p.y);
  PostMessageA(panel, WM_NULL, 0, 0);
}

bool Slide(PanelWindow& panel, ValueRow& row, double fraction, std::string& error) {
  UtilLib_Slider* slider = row.Slider();
  if (fraction < 0 || fraction > 1) return error = "slide: a fraction from 0 to 1", false;
  long start = 0, end = 0;
  slider->GetThumb(start, end);
  const float low = slider->Slider_GetMinVariable()->Get();
  const float high = slider->Slider_GetMaxVariable()->Get();
  const float target = low + float(fraction) * (high - low);
  const long track = slider->GetWindowWidth();
  const long thumb = end - start;
  // The thumb moves (high - low) / (track - thumb) a pixel.
  const LONG distance = static_cast<LONG>(
      std::lround((target - row.Value()->Get()) * float(track - thumb) / (high - low)));
  const long y = slider->GetWindowHeight() / 2;
  const POINT from = ScreenOf(slider->GetWindowHandle(), (start + end) / 2, y);
  // The press first, so that the slider holds the mouse when it moves.
  desktop::PressButton(Button::Left, from.x, from.y);
  Pump();
  MoveTo(panel.Window(), POINT{from.x + distance / 2, from.y});
  MoveTo(panel.Window(), POINT{from.x + distance, from.y});
  desktop::ReleaseButton(Button::Left, from.x + distance, from.y);
  Pump();
  return true;
}

bool ChooseSpeed(PanelWindow& panel, std::size_t output, int item, std::string& error) {
  if (output >= panel.SpeedButtons().size() || item < 1 || item > 4)
    return error = "speed: an output number and an item 1..4", false;
  UtilLib_MenuButton* button = panel.SpeedButtons()[output];
  const POINT at = ScreenOf(button->GetWindowHandle(), 10, 10);
  RECT r{};
  GetWindowRect(button->GetWindowHandle(), &r);
  // The menu drops down under the button, one entry per item height. The
  // input is queued before the menu opens (its loop waits for input), so it
  // is aimed where the entry will be: over the panel's room for the menu.
  UtilLib_Menu* menu = panel.SpeedMenus()[output];
  long y = r.bottom;
  for (int i = 1; i < item; ++i) {
    const long h = menu->UtilLib_Menu_GetMenuItem(unsigned(i - 1))->GetPreferedYSize();
    y += h == -1 ? 21 : h;
  }
  const POINT entry{r.left + 10, static_cast<LONG>(y + 5)};
  desktop::PressButton(Button::Left, at.x, at.y);
  MoveTo(panel.Window(), entry);
  desktop::ReleaseButton(Button::Left, entry.x, entry.y);
  Pump();
  return true;
}

// Drops the files on the clip list as the shell would.
bool DropOnClipList(PanelWindow& panel, std::istringstream& words, std::string& error) {
  if (panel.ClipList() == nullptr) return error = "drop: the graph has no RTVFileInput", false;
  std::vector<std::string> paths;
  // A file manager hands over whole paths: the clip opens wherever the
  // output's thread reads it.
  for (std::string path; words >> path;) {
    std::error_code failed;
    const std::filesystem::path whole = std::filesystem::absolute(path, failed);
    paths.push_back(failed ? path : whole.lexically_normal().string());
  }
  if (paths.empty()) return error = "drop: which files?", false;
  Pump();  // the list opens (and takes files) once its messages have run
  RECT r{};
  GetWindowRect(panel.ClipList()->GetWindowHandle(), &r);
  const POINT at{(r.left + r.right) / 2, r.bottom - 4};
  if (!desktop::DropFiles(at, paths)) return error = "drop: the clip list took no files", false;
  Pump();
  return true;
}

void PrintClips(PanelWindow& panel, std::ostream& out) {
  RTVFileInput* clips = panel.Clips();
  if (clips == nullptr) return;
  clips->FileSelect_LockList();
  for (unsigned i = 0; i < clips->FileSelect_GetNoFiles(); ++i)
    out << "clip " << i << ": " << clips->FileSelect_Get(i) << '\n';
  clips->FileSelect_UnLockList();
}

bool PrintOutputLuma(std::ostream& out, std::string& error) {
  board::BoardFrame frame;
  if (!board::ReadShownFrame(frame, error)) return false;
  double sum = 0;
  std::size_t count = 0;
  for (std::size_t i = 1; i < frame.pixels.size(); i += 2, ++count) sum += frame.pixels[i];
  out << "output luma " << (count == 0 ? 0.0 : sum / double(count)) << '\n';
  return true;
}

int KeyCode(const std::string& name) {
  if (name == "up") return VK_UP;
  if (name == "down") return VK_DOWN;
  if (name == "pageup") return VK_PRIOR;
  if (name == "pagedown") return VK_NEXT;
  return 0;
}

// What the script keeps between its lines.
struct ScriptState {
  std::uint32_t lateWaits = 0;  // waits for the outputs or the scope that ran out of time
};

bool RunLine(const std::string& line, PanelWindow& panel, PanelGraph& graph, ScriptState& state,
             std::ostream& out, std::string& error) {
  std::istringstream words(line);
  std::string command, name;
  words >> command;
  if (command.empty() || command[0] == '#') return true;
  auto row = [&](std::string& rowName) -> ValueRow* {
    if (!(words >> rowName)) return error = command + ": which row?", nullptr;
    ValueRow* found = panel.Row(rowName);
    if (found == nullptr) error = "no row \"" + rowName + "\"";
    return found;
  };
  if (command == "fields") {
    long fields = 0;
    if (!(words >> fields) || fields < 0) return error = "fields: a count from 0", false;
    state.lateWaits += PlayFields(panel, graph, fields);
  } else if (command == "slide" || command == "set") {
    ValueRow* target = row(name);
    double number = 0;
    if (target == nullptr) return false;
    if (!(words >> number)) return error = command + ": a number", false;
    if (command == "slide") return Slide(panel, *target, number, error);
    target->Value()->Set(float(number));
    Pump();
  } else if (command == "key") {
    ValueRow* target = row(name);
    std::string key;
    if (target == nullptr) return false;
    if (!(words >> key) || KeyCode(key) == 0)
      return error = "key: up, down, pageup or pagedown", false;
    // The edit sits right of the slider: a click gives it the keys.
    HWND slider = target->Slider()->GetWindowHandle();
    RECT r{};
    GetWindowRect(slider, &r);
    const POINT at{r.right + 20, (r.top + r.bottom) / 2};
    desktop::Click(Button::Left, at.x, at.y);
    Pump();
    desktop::TypeKey(KeyCode(key));
    Pump();
  } else if (command == "speed") {
    std::size_t output = 0;
    int item = 0;
    if (!(words >> output >> item)) return error = "speed: an output number and an item", false;
    return ChooseSpeed(panel, output, item, error);
  } else if (command == "loop") {
    std::size_t output = 0;
    if (!(words >> output) || output >= panel.LoopButtons().size())
      return error = "loop: an output number", false;
    RECT r{};
    GetWindowRect(panel.LoopButtons()[output]->GetWindowHandle(), &r);
    desktop::Click(Button::Left, r.left + 10, r.top + 10);
    Pump();
  } else if (command == "drop") {
    return DropOnClipList(panel, words, error);
  } else if (command == "clips") {
    PrintClips(panel, out);
  } else if (command == "print") {
    ValueRow* target = row(name);
    if (target == nullptr) return false;
    out << name << " = " << target->Value()->Get() << '\n';
  } else if (command == "output") {
    return PrintOutputLuma(out, error);
  } else if (command == "status") {
    std::size_t i = 0;
    for (VideoQuellorOutput* output : graph.Outputs()) {
      const auto c = output->GetCounters();
      out << "output " << i++ << ": shown " << c.shown << ", speed "
          << output->GetFrameIncrement()->Get() << ", loop " << output->GetLoopingMode()->Get()
          << '\n';
    }
    out << "late waits " << state.lateWaits << '\n';
  } else if (command == "shot") {
    std::string path;
    if (!(words >> path)) return error = "shot: a file name", false;
    Pump();
    if (panel.Scope() != nullptr)
      RedrawWindow(panel.Scope()->GetWindowHandle(), nullptr, nullptr,
                   RDW_INVALIDATE | RDW_UPDATENOW);
    if (!desktop::WriteWindowPng(panel.Window(), path))
      return error = "cannot write " + path, false;
  } else {
    return error = "unknown command \"" + command + "\"", false;
  }
  return true;
}

}  // namespace

bool RunPanelScript(const std::string& path, PanelWindow& panel, PanelGraph& graph,
                    std::ostream& out, std::string& error) {
  std::ifstream script(path);
  if (!script) return error = "cannot read the script " + path, false;
  std::string line;
  int number = 0;
  ScriptState state;
  while (std::getline(script, line)) {
    ++number;
    if (!RunLine(line, panel, graph, state, out, error)) {
      error = path + ":" + std::to_string(number) + ": " + error;
      return false;
    }
  }
  // A script that fails to read (a folder, a disk error) has not run to its end.
  if (script.bad()) return error = "cannot read the script " + path, false;
  return true;
}

}  // namespace quellor::quellpanel
