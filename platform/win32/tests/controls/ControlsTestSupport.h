// Shared pieces of the control, menu, clipboard and shell tests: a window
// class whose behaviour each test gives as a function, a log of the messages
// it receives, and a fixture that leaves no windows, hooks or clipboard data
// behind.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "win32/automation/Answers.h"
#include "win32/automation/Desktop.h"
#include "win32/automation/Modal.h"
#include "win32/automation/Shell.h"
#include "windows.h"

namespace quellor::testing {

struct Received {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

// Returns true when it handled the message, with *result as the answer.
using Behaviour = std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT* result)>;

// A visible popup window of the class "ControlsHost" (logged).
HWND CreateHost(const char* title, int x, int y, int w, int h, Behaviour behaviour = {});
std::vector<Received> ReceivedBy(HWND hwnd, UINT message);
void ClearReceived();

// Folder for test files, made on first use.
std::string ScratchPath(const std::string& name);
// Centre of a window's rectangle on screen.
POINT CentreOf(HWND hwnd);

class ControlsTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
};

}  // namespace quellor::testing
