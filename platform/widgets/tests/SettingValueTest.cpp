// Observable setting values: 1024 before and 1025 after a change, to every
// dependant, with the new value readable only after the first notice.
#include <gtest/gtest.h>

#include <vector>

#include "widgets/SettingValue.h"

using quellor::widgets::DoubleSetting;
using quellor::widgets::IntSetting;

namespace {

struct Notice {
  HWND window;
  UINT message;
  double valueSeen;
};

std::vector<Notice> gNotices;
DoubleSetting* gWatched = nullptr;

LRESULT CALLBACK DependantProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == 1024 || message == 1025) {
    EXPECT_EQ(reinterpret_cast<DoubleSetting*>(lParam), gWatched);
    gNotices.push_back(Notice{hwnd, message, gWatched->Get()});
    return 0;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

HWND MakeDependant() {
  static bool registered = false;
  if (!registered) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DependantProc;
    wc.lpszClassName = "SettingDependant";
    RegisterClassA(&wc);
    registered = true;
  }
  return CreateWindowExA(0, "SettingDependant", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                         nullptr, nullptr);
}

TEST(SettingValue, NotifiesEveryDependantBeforeAndAfterTheChange) {
  DoubleSetting value(44.0);
  gWatched = &value;
  gNotices.clear();
  HWND a = MakeDependant(), b = MakeDependant();
  value.AddDependant(a);
  value.AddDependant(b);
  value.AddDependant(a);  // once only
  EXPECT_TRUE(value.Set(27.5));
  ASSERT_EQ(gNotices.size(), 4u);
  EXPECT_EQ(gNotices[0].message, 1024u);
  EXPECT_EQ(gNotices[0].window, a);
  EXPECT_EQ(gNotices[0].valueSeen, 44.0);  // not yet stored
  EXPECT_EQ(gNotices[1].message, 1024u);
  EXPECT_EQ(gNotices[1].window, b);
  EXPECT_EQ(gNotices[2].message, 1025u);
  EXPECT_EQ(gNotices[2].valueSeen, 27.5);
  EXPECT_EQ(gNotices[3].window, b);
  // The same value again: nothing at all.
  gNotices.clear();
  EXPECT_FALSE(value.Set(27.5));
  EXPECT_TRUE(gNotices.empty());
  // A removed dependant, and one that was destroyed, hear nothing more.
  value.RemoveDependant(a);
  DestroyWindow(b);
  EXPECT_TRUE(value.Set(1.0));
  EXPECT_TRUE(gNotices.empty());
  EXPECT_EQ(value.Get(), 1.0);
  DestroyWindow(a);
  gWatched = nullptr;
}

TEST(SettingValue, IntegerValuesWorkWithoutDependants) {
  IntSetting input(0);
  input = 3;
  EXPECT_EQ(int(input), 3);
  EXPECT_TRUE(input.Dependants().empty());
}

}  // namespace
