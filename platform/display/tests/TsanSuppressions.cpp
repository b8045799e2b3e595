// ThreadSanitizer suppressions of the display tests (only read in a
// ThreadSanitizer build): reports that lie entirely inside libX11's own
// display lock.
//
// Every X connection of ours is opened, used and closed by one thread (the
// presenter's thread, or the test's thread for the test's own connections
// and its tray), so no two threads ever share a Display. Yet libX11 1.8
// reports "unlock of an unlocked mutex" on the first call the presenter's
// thread makes after its start, with both the lock and the unlock inside one
// libX11 function (XPending, XCheckTypedEvent, XQueryTree, XSync); the same
// presenter driven from a small standalone program reports nothing. Only
// this kind of report (mutex misuse) with a libX11 frame is suppressed; data
// races are still reported, in libX11 or anywhere else.
//
// A program that gave up on a display that never answered leaves the
// presenter's thread waiting inside XOpenDisplay; at the program's exit
// libXau frees the authority file name that thread looked up before it began
// to wait. Races with a libXau frame are suppressed for that.
extern "C" __attribute__((visibility("default"))) const char* __tsan_default_suppressions() {
  return "mutex:libX11.so.6\nrace:libXau.so.6\n";
}
