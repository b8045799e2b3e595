// The dispatch driven without any window: a window system of the test's own
// records what the framework asks of it.
#include <qlxrapi/WindowSystem.h>

#include <cstdio>
#include <map>

#include "WindowTesting.h"

using namespace uitest;

namespace {

HWND Handle(std::uintptr_t n) {
  return reinterpret_cast<HWND>(n);
}

class FakeSystem : public quellor::win::WindowSystem {
 public:
  LRESULT DefaultProcedure(HWND, UINT message, WPARAM, LPARAM) override {
    defaulted.push_back(message);
    return 42;
  }
  void* UserData(HWND w) override { return data[w]; }
  void SetUserData(HWND w, void* d) override { data[w] = d; }
  WNDPROC SetProcedure(HWND w, WNDPROC p) override {
    WNDPROC old = procedures[w];
    procedures[w] = p;
    return old;
  }
  HWND Parent(HWND w) override { return parents[w]; }
  HWND FirstChild(HWND w) override {
    for (auto& [child, parent] : parents)
      if (parent == w) return child;
    return nullptr;
  }
  HWND NextSibling(HWND w) override {
    HWND parent = parents[w];
    bool past = false;
    for (auto& [child, p] : parents) {
      if (past && p == parent) return child;
      past = past || child == w;
    }
    return nullptr;
  }
  LRESULT Send(HWND w, UINT m, WPARAM wp, LPARAM lp) override {
    auto it = procedures.find(w);
    return it == procedures.end() ? 0 : it->second(w, m, wp, lp);
  }
  bool Post(HWND w, UINT m, WPARAM, LPARAM) override {
    posted.emplace_back(w, m);
    return true;
  }
  void PostQuit(int) override { ++quits; }
  bool Destroy(HWND) override { return true; }
  bool ChildRectangle(HWND, HWND child, RECT* out) override {
    *out = RECT{10, 20, 30, 40};
    (void)child;
    return true;
  }
  HDC BeginPaint(HWND, PAINTSTRUCT*) override { return reinterpret_cast<HDC>(0x77); }
  void ResetClip(HDC) override { clip.push_back("reset"); }
  void ExcludeClip(HDC, const RECT& r) override {
    clip.push_back("exclude " + std::to_string(r.left) + "," + std::to_string(r.bottom));
  }
  void EndPaint(HWND, const PAINTSTRUCT*) override { clip.push_back("end"); }
  unsigned DroppedFileCount(WPARAM) override { return static_cast<unsigned>(files.size()); }
  unsigned DroppedFile(WPARAM, unsigned index, char* buffer, unsigned size) override {
    std::snprintf(buffer, size, "%s", files[index].c_str());
    return static_cast<unsigned>(files[index].size());
  }
  std::vector<std::string> files;
  void ShowCursor(const char* id) override { cursor = id; }

  std::map<HWND, void*> data;
  std::map<HWND, WNDPROC> procedures;
  std::map<HWND, HWND> parents;
  std::vector<std::pair<HWND, UINT>> posted;
  std::vector<UINT> defaulted;
  Log clip;
  const char* cursor = nullptr;
  int quits = 0;
};

class Manager : public BaseWindowClass, public BaseWindowLayoutManager {
 public:
  void Layout_PerformLayout(HWND w, bool force) override {
    laidOut = w;
    forced = force;
  }
  HWND laidOut = nullptr;
  bool forced = false;
};

class FakeWindowSystem : public ::testing::Test {
 protected:
  void SetUp() override { quellor::win::UseWindowSystem(&fake); }
  void TearDown() override { quellor::win::UseWindowSystem(nullptr); }
  LRESULT Send(HWND w, UINT m, WPARAM wp = 0, LPARAM lp = 0) {
    return quellor::win::FrameworkWindowProcedure(w, m, wp, lp);
  }
  FakeSystem fake;
};

TEST_F(FakeWindowSystem, DispatchWithoutWindows) {
  Log log;
  auto* parent = new Manager;
  auto* child = new TestWindow(log);
  parent->SetupControl(Handle(0x10));
  child->SetupControl(Handle(0x20));
  fake.parents[Handle(0x20)] = Handle(0x10);
  EXPECT_EQ(0, Send(Handle(0x20), WM_SIZE, 0, Point(64, 48)));
  // The first message posts the opened message; a size lays the parent out.
  ASSERT_FALSE(fake.posted.empty());
  EXPECT_EQ(Handle(0x20), fake.posted[0].first);
  EXPECT_EQ(WM_ORVANE_OPENED, fake.posted[0].second);
  EXPECT_EQ(Handle(0x10), parent->laidOut);
  EXPECT_TRUE(parent->forced);
  // Unknown messages end in the default procedure, whose result is returned.
  EXPECT_EQ(42, Send(Handle(0x20), WM_USER + 5));
  EXPECT_EQ(WM_USER + 5, fake.defaulted.back());
  // Painting clips every child away.
  Send(Handle(0x10), WM_PAINT);
  EXPECT_EQ((Log{"reset", "exclude 10,40", "end"}), fake.clip);
  // The default mouse move shows the default cursor.
  child->SetDefaultCursor(const_cast<char*>(IDC_HAND));
  Send(Handle(0x20), WM_MOUSEMOVE);
  EXPECT_EQ(IDC_HAND, fake.cursor);
  const int quitsBefore = fake.quits;
  Send(Handle(0x20), WM_DESTROY);
  EXPECT_EQ(nullptr, fake.data[Handle(0x20)]);
  EXPECT_EQ(42, Send(Handle(0x20), WM_USER + 6));  // no object any more
  Send(Handle(0x10), WM_DESTROY);
  EXPECT_EQ(quitsBefore + (BaseWindowClass::GetLiveWindowCount() == 0 ? 1 : 0), fake.quits);
}

TEST_F(FakeWindowSystem, DroppedFilesClimbToTheFirstAncestorThatTakesThem) {
  Log log;
  NoticeRecorder notices(log);
  auto* top = new TestWindow(log);
  auto* middle = new TestWindow(log);
  auto* leaf = new TestWindow(log);
  top->m_name = "top";
  middle->m_name = "middle";
  leaf->m_name = "leaf";
  top->SetupControl(Handle(1));
  middle->SetupControl(Handle(2));
  leaf->SetupControl(Handle(3));
  fake.parents[Handle(2)] = Handle(1);
  fake.parents[Handle(3)] = Handle(2);
  top->takesFiles = true;
  middle->AddDependant(&notices, 1);
  fake.files = {"/a/one.tga", "/b/two.tga"};
  Send(Handle(3), WM_DROPFILES, 0x99);
  EXPECT_EQ((Log{"leaf dropped 2", "notice BaseWindowClass::FilesDropped", "middle dropped 2",
                 "top dropped 2"}),
            log);
  // A listener that sets the handled flag ends the walk too.
  log.clear();
  notices.onNotice = [](const char*, std::uint64_t* words) {
    *reinterpret_cast<bool*>(words[1]) = true;
  };
  Send(Handle(3), WM_DROPFILES, 0x99);
  EXPECT_EQ((Log{"leaf dropped 2", "notice BaseWindowClass::FilesDropped", "middle dropped 2"}),
            log);
  middle->DeleteDependant(&notices);
  for (auto n : {3, 2, 1}) Send(Handle(n), WM_DESTROY);
}

}  // namespace
