// The control panel of a graph: a row of label, slider and edit for each
// adjustable value of its nodes, a toggle for each output's looping bound to
// the output's own value, a pop-up menu of each output's speeds, a list of
// the clip input's files that takes clips dropped from the shell, and a
// scope of the board's output.
#pragma once

#include <qlxrapi/Dynamic.h>
#include <qlxrapi/DynamicListener.h>
#include <qlxrapi/ScreenObject.h>
#include <qlxrapi/TextItem.h>

#include <memory>
#include <string>
#include <vector>

#include "PanelGraph.h"
#include "ValueRow.h"

class Controls_Button;
class FileSelectNames;
class RTVFileInput;
class UtilLib_Canvas;
class UtilLib_ListBox;
class UtilLib_Menu;
class UtilLib_MenuButton;
class UtilLib_ToggleButton;
class WaveformMonitor;

namespace quellor::quellpanel {

class PanelWindow : public DynamicListener {
 public:
  static constexpr long kLeft = 40, kTop = 40, kWidth = 452;

  explicit PanelWindow(PanelGraph& graph);
  ~PanelWindow() override;
  PanelWindow(const PanelWindow&) = delete;
  PanelWindow& operator=(const PanelWindow&) = delete;

  // Builds and shows the panel; false with a message.
  bool Open(std::string& error);
  HWND Window() const;

  ValueRow* Row(const std::string& name);
  const std::vector<std::unique_ptr<ValueRow>>& Rows() const { return m_rows; }
  // The speed menus' selections (item 1 still, 2 normal, 3 double, 4
  // backwards) and buttons, and the loop toggles, in output order.
  std::vector<UtilLib_Menu*> SpeedMenus() const { return m_speedMenus; }
  std::vector<UtilLib_MenuButton*> SpeedButtons() const { return m_speedButtons; }
  std::vector<UtilLib_ToggleButton*> LoopButtons() const { return m_loopButtons; }

  // The first clip input's file list and its box (null without one), and
  // the scope (null when the plug-in would not make it).
  RTVFileInput* Clips() const { return m_clips; }
  UtilLib_ListBox* ClipList() const { return m_clipList; }
  WaveformMonitor* Scope() const { return m_scope; }

  void DynamicCallback(long id, const char* name, void* args) override;

 private:
  void AddRows(PanelNode& node);
  bool OpenClipList(long y, std::string& error);
  void OpenScope(long y);
  // A line of the clip list naming path.
  void AddClipLine(const char* path);
  // Files dropped on the list join the clip input's time line.
  void ClipsDropped(FileSelectNames* names);
  // Four looks (the library's button looks under text) for a button.
  void SkinButton(Controls_Button* button, const char* text);

  PanelGraph& m_graph;
  UtilLib_Canvas* m_canvas = nullptr;
  ScreenObjectSolid m_background;
  std::vector<std::unique_ptr<ValueRow>> m_rows;
  std::vector<std::unique_ptr<ScreenObject>> m_looks;
  std::vector<UtilLib_Menu*> m_speedMenus;
  std::vector<UtilLib_MenuButton*> m_speedButtons;
  std::vector<UtilLib_ToggleButton*> m_loopButtons;
  std::vector<class VideoQuellorOutput*> m_outputs;
  RTVFileInput* m_clips = nullptr;
  UtilLib_ListBox* m_clipList = nullptr;
  std::vector<std::unique_ptr<ScreenObject>> m_lineLooks;
  WaveformMonitor* m_scope = nullptr;
};

}  // namespace quellor::quellpanel
