// A script that drives the panel headless, one command a line ('#' starts a
// comment):
//   fields N            hand the board N fields by hand, each pair once the
//                       outputs have rendered into every buffer it gave back
//   slide ROW FRACTION  drag ROW's slider thumb with the mouse so that the
//                       value goes FRACTION (0..1) of its range
//   set ROW VALUE       set ROW's value directly
//   key ROW KEY         press a key (up, down, pageup, pagedown) in ROW's edit
//   speed N ITEM        choose item ITEM (1..4) of output N's speed menu by mouse
//   loop N              click output N's loop toggle
//   drop FILE...        drop clips from the shell on the clip list
//   clips               print the clip input's files, "clip N: FILE"
//   print ROW           print "ROW = value"
//   output              print the mean luma of the frame the board shows
//   status              print the outputs' counters and speeds, and the waits
//                       of `fields` that ran out of time
//   shot FILE.png       write the panel as a picture
#pragma once

#include <iosfwd>
#include <string>

namespace quellor::quellpanel {

class PanelWindow;
class PanelGraph;

// Runs the script's lines; false (and a message) at the first bad line.
bool RunPanelScript(const std::string& path, PanelWindow& panel, PanelGraph& graph,
                    std::ostream& out, std::string& error);

}  // namespace quellor::quellpanel
