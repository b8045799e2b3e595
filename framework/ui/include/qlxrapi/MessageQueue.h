// The framework's message loop, the listeners that watch (and may veto)
// every queued message, and the diversions that take messages over.
// Listeners and diversions are called only on the loop's thread; the lists
// lock themselves, so they may be created and destroyed from other threads.
#pragma once

#include <quellor/Export.h>

#include <windows.h>

// Runs until WM_QUIT.
QUELLOR_EXPORT void ExecuteMessageQueue();
// Handles the messages already queued and returns when none is left.
QUELLOR_EXPORT void FlushMessageQueue();

class QUELLOR_EXPORT MessageQueue_Listener {
 public:
  MessageQueue_Listener();  // joins the process-wide list
  virtual ~MessageQueue_Listener();
  MessageQueue_Listener(const MessageQueue_Listener&) = delete;
  MessageQueue_Listener& operator=(const MessageQueue_Listener&) = delete;

  // True: the message is not dispatched (other listeners still see it).
  virtual bool PreCallback(HWND window, unsigned message, unsigned wParam, unsigned lParam) = 0;
  // After dispatch, whether or not it took place.
  virtual void PostCallback(HWND window, unsigned message, unsigned wParam, unsigned lParam) = 0;
};

class QUELLOR_EXPORT MessageQueue_Diversion {
 public:
  virtual ~MessageQueue_Diversion();
  // True when the message was consumed: listeners and dispatch skip it.
  virtual bool Divert(MSG* message) = 0;
};

QUELLOR_EXPORT void AddMessageDiversion(MessageQueue_Diversion* diversion);
QUELLOR_EXPORT void RemoveMessageDiversion(MessageQueue_Diversion* diversion);
QUELLOR_EXPORT bool CurrentlyUsingDiversion(MessageQueue_Diversion* diversion);

// A nested loop that owns the mouse while it runs.
class QUELLOR_EXPORT Message_DiversionLoop {
 public:
  virtual ~Message_DiversionLoop();
  // 0: listeners only, no dispatch; 1: listeners and dispatch; 2: the loop
  // ends; anything else: the message is dropped. The message number and its
  // parameters may be changed.
  virtual int DiversionLoop(MSG* message, UINT* number, WPARAM* wParam, LPARAM* lParam) = 0;
  // Captures the mouse to capture and runs until 2 or WM_QUIT (which is
  // posted again, so the outer loop ends too).
  void LoopDiversion(HWND capture);
};

// Sends the mouse exit (7027) and enter (7026) messages when queued mouse
// moves pass from one window to another. Create one to get them.
class QUELLOR_EXPORT MouseEnterContext : public MessageQueue_Listener {
 public:
  bool PreCallback(HWND window, unsigned message, unsigned wParam, unsigned lParam) override;
  void PostCallback(HWND window, unsigned message, unsigned wParam, unsigned lParam) override;
  HWND GetLastWindow() const { return m_last; }

 private:
  HWND m_last = nullptr;
};
