// The process-wide protocol error record: a failed request is found on its
// own connection only, and only for the requests it asks about.
#include <gtest/gtest.h>

#include "XErrors.h"
#include "XvfbServer.h"

namespace {

using quellor::display::FailedSince;
using quellor::display::RecordProtocolError;
using quellor::display::testing::XvfbServer;

constexpr Window kNoSuchWindow = 0x1FFFFF;

// A request that fails with BadWindow, answered before this returns.
void FailOneRequest(Display* display) {
  XWindowAttributes attributes{};
  XGetWindowAttributes(display, kNoSuchWindow, &attributes);
  XSync(display, False);
}

TEST(XErrorsTest, AFailedRequestIsFoundOnItsOwnConnectionOnly) {
  XvfbServer server;
  if (!server.Running()) GTEST_SKIP() << server.Skipped();
  auto previous = XSetErrorHandler(RecordProtocolError);
  Display* mine = server.Connection();
  Display* other = XOpenDisplay(server.Name().c_str());
  ASSERT_NE(other, nullptr);

  const unsigned long before = NextRequest(mine);
  XSync(mine, False);
  EXPECT_FALSE(FailedSince(mine, before)) << "nothing failed yet";

  // Another connection's error (another thread's, in a program) is not ours.
  FailOneRequest(other);
  EXPECT_FALSE(FailedSince(mine, before));
  EXPECT_TRUE(FailedSince(other, 0));

  const unsigned long failing = NextRequest(mine);
  FailOneRequest(mine);
  EXPECT_TRUE(FailedSince(mine, before));
  EXPECT_TRUE(FailedSince(mine, failing));
  // Requests sent after the failure are not blamed for it.
  const unsigned long after = NextRequest(mine);
  XSync(mine, False);
  EXPECT_FALSE(FailedSince(mine, after));

  XCloseDisplay(other);
  XSetErrorHandler(previous);
}

}  // namespace
