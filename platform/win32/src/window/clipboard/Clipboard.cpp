// The clipboard: who has it open, who owns it, its data by format, and the
// viewer chain that hears of every change.
#include <algorithm>
#include <mutex>
#include <utility>
#include <vector>

#include "ClipboardData.h"
#include "../Presenter.h"
#include "win32/clipboard.h"
#include "win32/errors.h"
#include "win32/kernel.h"
#include "win32/user.h"

#ifndef ERROR_CLIPBOARD_NOT_OPEN
#define ERROR_CLIPBOARD_NOT_OPEN 1418L
#endif

using namespace quellor::win32;

namespace {

struct Entry {
  UINT format;
  HANDLE data;
  bool synthesised;  // made from another format on request
};

struct Clipboard {
  std::mutex mutex;
  bool open = false;
  DWORD openThread = 0;
  HWND openWindow = nullptr;
  HWND owner = nullptr;
  bool changed = false;  // emptied or written since it was opened
  std::vector<Entry> entries;
  HWND viewer = nullptr;  // the head of the viewer chain
};

Clipboard& C() {
  static Clipboard* clipboard = new Clipboard;  // data may be touched from atexit code
  return *clipboard;
}

bool OpenedByCallerLocked() {
  Clipboard& c = C();
  if (c.open && c.openThread == GetCurrentThreadId()) return true;
  SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
  return false;
}

Entry* FindLocked(UINT format) {
  auto& e = C().entries;
  auto it = std::find_if(e.begin(), e.end(), [&](const Entry& x) { return x.format == format; });
  return it == e.end() ? nullptr : &*it;
}

// The format another one can be made from (bitmaps and DIBs convert).
UINT SourceOf(UINT format) {
  if (format == CF_DIB) return CF_BITMAP;
  if (format == CF_BITMAP) return CF_DIB;
  return 0;
}

bool AvailableLocked(UINT format) {
  if (FindLocked(format)) return true;
  UINT source = SourceOf(format);
  return source && FindLocked(source) && !FindLocked(source)->synthesised;
}

// Formats in the order they were put, each synthesisable one after its source.
std::vector<UINT> FormatsLocked() {
  std::vector<UINT> out;
  for (const Entry& e : C().entries) {
    if (std::find(out.begin(), out.end(), e.format) == out.end()) out.push_back(e.format);
    UINT other = SourceOf(e.format);
    if (other && std::find(out.begin(), out.end(), other) == out.end()) out.push_back(other);
  }
  return out;
}

std::vector<Entry> TakeEntriesLocked() {
  return std::exchange(C().entries, {});
}

void FreeAll(std::vector<Entry> entries) {
  for (const Entry& e : entries) FreeClipboardData(e.format, e.data);
}

}  // namespace

extern "C" {

BOOL WINAPI OpenClipboard(HWND hWndNewOwner) {
  if (hWndNewOwner && !IsWindow(hWndNewOwner)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  std::lock_guard<std::mutex> lock(C().mutex);
  Clipboard& c = C();
  if (c.open && c.openThread != GetCurrentThreadId()) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  if (!c.open) c.changed = false;
  c.open = true;
  c.openThread = GetCurrentThreadId();
  c.openWindow = hWndNewOwner;
  return TRUE;
}

BOOL WINAPI CloseClipboard(void) {
  HWND viewer;
  {
    std::lock_guard<std::mutex> lock(C().mutex);
    if (!OpenedByCallerLocked()) return FALSE;
    Clipboard& c = C();
    c.open = false;
    c.openWindow = nullptr;
    viewer = c.changed ? c.viewer : nullptr;
    if (c.changed) BumpClipboardVersion();
    c.changed = false;
  }
  // The viewer chain hears of the change once it is complete.
  if (viewer) SendMessageA(viewer, WM_DRAWCLIPBOARD, 0, 0);
  return TRUE;
}

BOOL WINAPI EmptyClipboard(void) {
  HWND previousOwner;
  std::vector<Entry> old;
  {
    std::lock_guard<std::mutex> lock(C().mutex);
    if (!OpenedByCallerLocked()) return FALSE;
    Clipboard& c = C();
    previousOwner = c.owner;
    old = TakeEntriesLocked();
    c.owner = c.openWindow;
    c.changed = true;
  }
  if (previousOwner && IsWindow(previousOwner)) {
    SendMessageA(previousOwner, WM_DESTROYCLIPBOARD, 0, 0);
  }
  FreeAll(std::move(old));
  return TRUE;
}

HANDLE WINAPI SetClipboardData(UINT uFormat, HANDLE hMem) {
  std::vector<Entry> replaced;
  {
    std::lock_guard<std::mutex> lock(C().mutex);
    if (!OpenedByCallerLocked()) return nullptr;
    auto& entries = C().entries;
    // The new data replaces the format and anything synthesised from its
    // counterpart, which no longer matches.
    for (auto it = entries.begin(); it != entries.end();) {
      if (it->format == uFormat || (it->synthesised && it->format == SourceOf(uFormat))) {
        replaced.push_back(*it);
        it = entries.erase(it);
      } else {
        ++it;
      }
    }
    entries.push_back(Entry{uFormat, hMem, false});
    C().changed = true;
  }
  for (const Entry& e : replaced) {
    if (e.data != hMem) FreeClipboardData(e.format, e.data);
  }
  return hMem;
}

HANDLE WINAPI GetClipboardData(UINT uFormat) {
  std::lock_guard<std::mutex> lock(C().mutex);
  if (!OpenedByCallerLocked()) return nullptr;
  if (Entry* e = FindLocked(uFormat)) return e->data;
  UINT sourceFormat = SourceOf(uFormat);
  Entry* source = sourceFormat ? FindLocked(sourceFormat) : nullptr;
  if (!source || !source->data) return nullptr;
  HANDLE made =
      uFormat == CF_DIB ? BitmapToPackedDib(source->data) : PackedDibToBitmap(source->data);
  if (!made) return nullptr;
  C().entries.push_back(Entry{uFormat, made, true});
  return made;
}

BOOL WINAPI IsClipboardFormatAvailable(UINT format) {
  std::lock_guard<std::mutex> lock(C().mutex);
  return AvailableLocked(format) ? TRUE : FALSE;
}

int WINAPI GetPriorityClipboardFormat(UINT* paFormatPriorityList, int cFormats) {
  std::lock_guard<std::mutex> lock(C().mutex);
  if (C().entries.empty()) return 0;
  for (int i = 0; paFormatPriorityList && i < cFormats; ++i) {
    if (AvailableLocked(paFormatPriorityList[i])) return int(paFormatPriorityList[i]);
  }
  return -1;
}

int WINAPI CountClipboardFormats(void) {
  std::lock_guard<std::mutex> lock(C().mutex);
  return int(FormatsLocked().size());
}

UINT WINAPI EnumClipboardFormats(UINT format) {
  std::lock_guard<std::mutex> lock(C().mutex);
  if (!OpenedByCallerLocked()) return 0;
  SetLastError(ERROR_SUCCESS);
  std::vector<UINT> formats = FormatsLocked();
  if (format == 0) return formats.empty() ? 0 : formats.front();
  auto it = std::find(formats.begin(), formats.end(), format);
  return it == formats.end() || it + 1 == formats.end() ? 0 : *(it + 1);
}

HWND WINAPI GetClipboardOwner(void) {
  std::lock_guard<std::mutex> lock(C().mutex);
  return C().owner;
}

HWND WINAPI GetOpenClipboardWindow(void) {
  std::lock_guard<std::mutex> lock(C().mutex);
  return C().open ? C().openWindow : nullptr;
}

HWND WINAPI SetClipboardViewer(HWND hWndNewViewer) {
  if (!IsWindow(hWndNewViewer)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  HWND previous;
  {
    std::lock_guard<std::mutex> lock(C().mutex);
    previous = std::exchange(C().viewer, hWndNewViewer);
  }
  // A new viewer is told at once, so that it shows what is there.
  SendMessageA(hWndNewViewer, WM_DRAWCLIPBOARD, 0, 0);
  return previous;
}

HWND WINAPI GetClipboardViewer(void) {
  std::lock_guard<std::mutex> lock(C().mutex);
  return C().viewer;
}

BOOL WINAPI ChangeClipboardChain(HWND hWndRemove, HWND hWndNewNext) {
  HWND head;
  {
    std::lock_guard<std::mutex> lock(C().mutex);
    head = C().viewer;
    if (head == hWndRemove) {
      // The first viewer leaves: the one after it leads the chain.
      C().viewer = hWndNewNext;
      return TRUE;
    }
  }
  // Otherwise the chain repairs itself: each viewer passes the notice on
  // until the one before the leaving window takes its successor.
  if (head) {
    SendMessageA(head, WM_CHANGECBCHAIN, reinterpret_cast<WPARAM>(hWndRemove),
                 reinterpret_cast<LPARAM>(hWndNewNext));
  }
  return TRUE;
}

}  // extern "C"
