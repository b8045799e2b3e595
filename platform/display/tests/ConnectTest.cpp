// Starting against a display that accepts the connection and never answers
// (a stopped server): the program goes on without its windows on the screen.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "quellor/testing/ChildProcess.h"
#include "windows.h"

namespace {

constexpr char kChildVariable[] = "QUELLOR_TEST_CONNECT_CHILD";

// A TCP listener on 127.0.0.1 at an X display's port that takes connections
// (the kernel completes them) and never says a word.
class SilentServer {
 public:
  SilentServer() {
    for (int display = 60; display < 100 && number_ < 0; ++display) {
      const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
      if (fd < 0) return;
      sockaddr_in address{};
      address.sin_family = AF_INET;
      address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
      address.sin_port = htons(static_cast<std::uint16_t>(6000 + display));
      if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
          ::listen(fd, 4) == 0) {
        fd_ = fd;
        number_ = display;
      } else {
        ::close(fd);
      }
    }
  }
  ~SilentServer() {
    if (fd_ >= 0) ::close(fd_);
  }
  int number() const { return number_; }

 private:
  int fd_ = -1;
  int number_ = -1;
};

LRESULT CALLBACK PlainProcedure(HWND window, UINT message, WPARAM w, LPARAM l) {
  return DefWindowProcA(window, message, w, l);
}

// Run as the child below: its first window brings up the presenter.
TEST(DisplayConnect, ChildMakesAWindow) {
  if (std::getenv(kChildVariable) == nullptr) GTEST_SKIP() << "run by the test below";
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = &PlainProcedure;
  windowClass.lpszClassName = "ConnectTestWindow";
  ASSERT_NE(RegisterClassA(&windowClass), 0);
  HWND window = CreateWindowExA(0, "ConnectTestWindow", "connect", WS_OVERLAPPEDWINDOW, 0, 0, 100,
                                100, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  DestroyWindow(window);
}

TEST(DisplayConnect, ADisplayThatNeverAnswersLeavesTheProgramWithoutItsWindows) {
  SilentServer server;
  if (server.number() < 0) GTEST_SKIP() << "no free display port on 127.0.0.1";
  quellor::testing::ChildOptions options;
  options.environment = {{kChildVariable, "1"},
                         {"DISPLAY", "127.0.0.1:" + std::to_string(server.number())},
                         {"QUELLOR_HEADLESS", "0"},
                         {"QUELLOR_X_CONNECT_TIMEOUT_MS", "200"}};
  options.bound = std::chrono::seconds(20);
  const quellor::testing::ChildResult result = quellor::testing::RunChild(
      "/proc/self/exe", {"--gtest_filter=DisplayConnect.ChildMakesAWindow"}, options);
  EXPECT_FALSE(result.timedOut) << "the program waited for the display";
  EXPECT_EQ(result.exitCode, 0) << result.output << result.error;
  EXPECT_NE(result.error.find("did not answer"), std::string::npos) << result.error;
}

}  // namespace
