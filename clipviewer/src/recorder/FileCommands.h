// The recorder dialog's file commands on the process's file list and its
// list box (1011): Insert Item, Delete Item, Move File, Delete File, and the
// double click that plays a clip. Each refills the list box when it changed
// the list.
#pragma once

#include <string>

#include "windows.h"

namespace quellor::clipviewer::recorder {

// Shows the process's file list in the list box, in list order.
void FillFileList(HWND dialog);
// The list box's selected text; empty when nothing is selected.
std::string SelectedFile(HWND dialog);

void InsertItem(HWND dialog);
void DeleteItem(HWND dialog);
void MoveSelectedFile(HWND dialog);
void DeleteSelectedFile(HWND dialog);
void PlaySelectedFile(HWND dialog);

// `path` with ".rtv" appended unless it ends so already (any case).
std::string WithClipExtension(const std::string& path);

}  // namespace quellor::clipviewer::recorder
