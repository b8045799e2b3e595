// The clipboard and its viewer chain, with viewers that behave like the
// tray program's main window: count each change and pass it on, repair the
// chain when a viewer leaves.
#include <cstring>
#include <map>
#include <thread>

#include "ControlsTestSupport.h"

using namespace quellor::testing;
namespace desktop = quellor::desktop;

namespace {

class ClipboardTest : public ControlsTest {
 protected:
  void TearDown() override {
    if (OpenClipboard(nullptr)) {
      EmptyClipboard();
      CloseClipboard();
    }
    ControlsTest::TearDown();
  }
};

struct Viewer {
  HWND hwnd = nullptr;
  HWND next = nullptr;
  int changes = 0;
};

std::map<HWND, Viewer*> gViewers;

// Joins the chain the way a clipboard viewer does.
Viewer* Join(Viewer& v, int index) {
  v.hwnd = CreateHost("viewer", 10 + 60 * index, 10, 50, 50,
                      [&v](HWND, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
                        if (msg == WM_DRAWCLIPBOARD) {
                          ++v.changes;
                          if (v.next) SendMessageA(v.next, msg, wParam, lParam);
                        } else if (msg == WM_CHANGECBCHAIN) {
                          if (reinterpret_cast<HWND>(wParam) == v.next)
                            v.next = reinterpret_cast<HWND>(lParam);
                          else if (v.next)
                            SendMessageA(v.next, msg, wParam, lParam);
                        } else {
                          return false;
                        }
                        *result = 0;
                        return true;
                      });
  v.next = SetClipboardViewer(v.hwnd);
  return &v;
}

void PutText(HWND owner, const char* text) {
  ASSERT_TRUE(OpenClipboard(owner));
  ASSERT_TRUE(EmptyClipboard());
  HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, std::strlen(text) + 1);
  std::memcpy(GlobalLock(g), text, std::strlen(text) + 1);
  GlobalUnlock(g);
  ASSERT_EQ(SetClipboardData(CF_TEXT, g), g);
  ASSERT_TRUE(CloseClipboard());
}

HBITMAP MakeBitmap(int w, int h, uint32_t colour) {
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
  HDC mem = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(mem, bitmap);
  RECT r{0, 0, w, h};
  HBRUSH brush = CreateSolidBrush(colour);
  FillRect(mem, &r, brush);
  SetPixel(mem, 0, 0, RGB(255, 0, 0));  // top-left marks the orientation
  DeleteObject(brush);
  SelectObject(mem, old);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  return bitmap;
}

TEST_F(ClipboardTest, EveryViewerHearsOfEachChangeOnceAndTheChainIsRepairedWhenOneLeaves) {
  Viewer a, b, c;
  Join(a, 0);
  EXPECT_EQ(a.changes, 1);  // joining tells the new viewer at once
  Join(b, 1);
  Join(c, 2);
  EXPECT_EQ(c.next, b.hwnd);
  EXPECT_EQ(b.next, a.hwnd);
  EXPECT_EQ(GetClipboardViewer(), c.hwnd);
  a.changes = b.changes = c.changes = 0;
  HWND owner = CreateHost("owner", 400, 10, 50, 50);
  PutText(owner, "Video Quellor");
  EXPECT_EQ(a.changes, 1);
  EXPECT_EQ(b.changes, 1);
  EXPECT_EQ(c.changes, 1);
  // A bitmap and a metafile: one notice each, after the clipboard is closed.
  ASSERT_TRUE(OpenClipboard(owner));
  EmptyClipboard();
  SetClipboardData(CF_BITMAP, MakeBitmap(8, 4, RGB(0, 0, 255)));
  HDC rec = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
  Rectangle(rec, 10, 10, 50, 30);
  SetClipboardData(CF_ENHMETAFILE, CloseEnhMetaFile(rec));
  EXPECT_EQ(a.changes, 1);
  CloseClipboard();
  EXPECT_EQ(a.changes, 2);
  EXPECT_EQ(c.changes, 2);
  // Opening and closing without a change tells nobody.
  OpenClipboard(owner);
  CloseClipboard();
  EXPECT_EQ(b.changes, 2);
  // b (in the middle) leaves: c takes a as its next viewer.
  ChangeClipboardChain(b.hwnd, b.next);
  EXPECT_EQ(c.next, a.hwnd);
  PutText(owner, "again");
  EXPECT_EQ(a.changes, 3);
  EXPECT_EQ(b.changes, 2);
  EXPECT_EQ(c.changes, 3);
  // The head leaves: a leads.
  ChangeClipboardChain(c.hwnd, c.next);
  EXPECT_EQ(GetClipboardViewer(), a.hwnd);
  PutText(owner, "last");
  EXPECT_EQ(a.changes, 4);
  EXPECT_EQ(c.changes, 3);
  ChangeClipboardChain(a.hwnd, a.next);
  EXPECT_EQ(GetClipboardViewer(), nullptr);
}

TEST_F(ClipboardTest, TextIsReadBackAndFormatsAreFoundByPriority) {
  HWND owner = CreateHost("owner", 400, 10, 50, 50);
  PutText(owner, "hello");
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_BITMAP));
  UINT priority[] = {CF_BITMAP, CF_ENHMETAFILE, CF_TEXT};
  EXPECT_EQ(GetPriorityClipboardFormat(priority, 3), CF_TEXT);
  EXPECT_EQ(GetPriorityClipboardFormat(priority, 2), -1);
  EXPECT_EQ(GetClipboardData(CF_TEXT), nullptr);  // not open
  ASSERT_TRUE(OpenClipboard(owner));
  auto* text = static_cast<const char*>(GlobalLock(GetClipboardData(CF_TEXT)));
  EXPECT_STREQ(text, "hello");
  GlobalUnlock(GetClipboardData(CF_TEXT));
  EXPECT_EQ(GetClipboardOwner(), owner);
  EmptyClipboard();
  CloseClipboard();
  EXPECT_EQ(GetPriorityClipboardFormat(priority, 3), 0);  // empty clipboard
  EXPECT_EQ(CountClipboardFormats(), 0);
}

TEST_F(ClipboardTest, ABitmapIsAlsoOfferedAsADibAndADibAsABitmap) {
  HWND owner = CreateHost("owner", 400, 10, 50, 50);
  ASSERT_TRUE(OpenClipboard(owner));
  EmptyClipboard();
  SetClipboardData(CF_BITMAP, MakeBitmap(6, 3, RGB(0, 128, 0)));
  CloseClipboard();
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_DIB));
  EXPECT_EQ(CountClipboardFormats(), 2);
  ASSERT_TRUE(OpenClipboard(owner));
  HANDLE dib = GetClipboardData(CF_DIB);
  ASSERT_NE(dib, nullptr);
  auto* header = static_cast<const BITMAPINFOHEADER*>(GlobalLock(dib));
  EXPECT_EQ(header->biWidth, 6);
  EXPECT_EQ(header->biHeight, 3);  // bottom-up, as DIBs on the clipboard are
  EXPECT_EQ(header->biBitCount, 32);
  auto* bits = reinterpret_cast<const uint32_t*>(header + 1);
  EXPECT_EQ(bits[2 * 6 + 0] & 0xFFFFFF, 0xFF0000u);  // the red corner is in the last row
  EXPECT_EQ(bits[0] & 0xFFFFFF, 0x008000u);
  GlobalUnlock(dib);
  EXPECT_EQ(GetClipboardData(CF_DIB), dib);  // made once
  // Now a DIB alone: a bitmap is made from it.
  EmptyClipboard();
  HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, sizeof(BITMAPINFOHEADER) + 4 * 4);
  auto* h = static_cast<BITMAPINFOHEADER*>(GlobalLock(g));
  *h = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 2, 2, 1, 32, BI_RGB, 16, 0, 0, 0, 0};
  uint32_t px[4] = {0x0000FF, 0x00FF00, 0xFF0000, 0xFFFFFF};  // bottom row first
  std::memcpy(h + 1, px, sizeof px);
  GlobalUnlock(g);
  SetClipboardData(CF_DIB, g);
  HBITMAP bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
  ASSERT_NE(bitmap, nullptr);
  HDC mem = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(mem, bitmap);
  EXPECT_EQ(GetPixel(mem, 0, 0), RGB(255, 0, 0));  // the top row is last in memory
  EXPECT_EQ(GetPixel(mem, 1, 1), RGB(0, 255, 0));
  SelectObject(mem, old);
  DeleteDC(mem);
  // A truncated DIB gives no bitmap rather than reading past its end.
  EmptyClipboard();
  HGLOBAL shortDib = GlobalAlloc(GMEM_MOVEABLE, sizeof(BITMAPINFOHEADER) + 4);
  *static_cast<BITMAPINFOHEADER*>(GlobalLock(shortDib)) =
      BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 100, 100, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  GlobalUnlock(shortDib);
  SetClipboardData(CF_DIB, shortDib);
  EXPECT_EQ(GetClipboardData(CF_BITMAP), nullptr);
  CloseClipboard();
}

TEST_F(ClipboardTest, AnotherThreadCannotOpenTheClipboardWhileItIsOpen) {
  HWND owner = CreateHost("owner", 400, 10, 50, 50);
  ASSERT_TRUE(OpenClipboard(owner));
  BOOL otherOpened = TRUE;
  std::thread([&] { otherOpened = OpenClipboard(nullptr); }).join();
  EXPECT_FALSE(otherOpened);
  CloseClipboard();
  std::thread([&] {
    otherOpened = OpenClipboard(nullptr);
    CloseClipboard();
  }).join();
  EXPECT_TRUE(otherOpened);
  EXPECT_FALSE(CloseClipboard());  // not open any more
}

TEST_F(ClipboardTest, AMetafileOnTheClipboardIsTheRecordingThatWasPut) {
  HWND owner = CreateHost("owner", 400, 10, 50, 50);
  HDC rec = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
  HPEN pen = CreatePen(PS_SOLID, 0, RGB(0, 0, 255));
  HGDIOBJ oldPen = SelectObject(rec, pen);
  HGDIOBJ oldBrush = SelectObject(rec, GetStockObject(NULL_BRUSH));
  Rectangle(rec, 0, 0, 10, 10);
  SelectObject(rec, oldPen);
  SelectObject(rec, oldBrush);
  DeleteObject(pen);
  HENHMETAFILE emf = CloseEnhMetaFile(rec);
  ASSERT_TRUE(OpenClipboard(owner));
  EmptyClipboard();
  ASSERT_EQ(SetClipboardData(CF_ENHMETAFILE, emf), emf);
  CloseClipboard();
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_ENHMETAFILE));
  ASSERT_TRUE(OpenClipboard(owner));
  auto held = static_cast<HENHMETAFILE>(GetClipboardData(CF_ENHMETAFILE));
  ASSERT_NE(held, nullptr);
  // A reader keeps its own copy; the clipboard's goes with the next change.
  HENHMETAFILE mine = CopyEnhMetaFileA(held, nullptr);
  EmptyClipboard();
  CloseClipboard();
  EXPECT_FALSE(DeleteEnhMetaFile(held));
  HDC mem = CreateCompatibleDC(nullptr);
  HBITMAP target = CreateCompatibleBitmap(mem, 40, 40);
  HGDIOBJ old = SelectObject(mem, target);
  PatBlt(mem, 0, 0, 40, 40, WHITENESS);
  RECT into{0, 0, 40, 40};
  ASSERT_TRUE(PlayEnhMetaFile(mem, mine, &into));
  // A one-pixel outline at four times the size; the inside is untouched.
  EXPECT_EQ(GetPixel(mem, 0, 20), RGB(0, 0, 255));
  EXPECT_EQ(GetPixel(mem, 39, 20), RGB(0, 0, 255));
  EXPECT_EQ(GetPixel(mem, 20, 39), RGB(0, 0, 255));
  EXPECT_EQ(GetPixel(mem, 1, 20), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(mem, 20, 20), RGB(255, 255, 255));
  SelectObject(mem, old);
  DeleteObject(target);
  DeleteDC(mem);
  EXPECT_TRUE(DeleteEnhMetaFile(mine));
}

TEST_F(ClipboardTest, AMetafileReplaysItsDrawingScaledIntoTheRectangle) {
  HDC rec = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(rec, nullptr);
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  RECT box{100, 100, 120, 110};
  FillRect(rec, &box, red);
  DeleteObject(red);
  HENHMETAFILE emf = CloseEnhMetaFile(rec);
  ASSERT_NE(emf, nullptr);
  // Played at twice the size over a white picture: red where it drew, white
  // elsewhere.
  HDC mem = CreateCompatibleDC(nullptr);
  HBITMAP target = CreateCompatibleBitmap(mem, 100, 100);
  HGDIOBJ old = SelectObject(mem, target);
  PatBlt(mem, 0, 0, 100, 100, WHITENESS);
  RECT into{10, 10, 50, 30};
  ASSERT_TRUE(PlayEnhMetaFile(mem, emf, &into));
  EXPECT_EQ(GetPixel(mem, 10, 10), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(mem, 49, 29), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(mem, 50, 30), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(mem, 9, 9), RGB(255, 255, 255));
  SelectObject(mem, old);
  DeleteObject(target);
  DeleteDC(mem);
  EXPECT_TRUE(DeleteEnhMetaFile(emf));
  EXPECT_FALSE(DeleteEnhMetaFile(emf));
  EXPECT_FALSE(PlayEnhMetaFile(nullptr, emf, &into));
}

}  // namespace
