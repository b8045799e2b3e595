// The hook through which the drawing functions report their calls to an open
// enhanced metafile. Each function returns at once unless `hdc` is a metafile
// context; it must be called before the drawing function locks the context,
// so that the state it captures (pen, brush, font, colours, modes, current
// position) is the one the call draws with.
#pragma once

#include <string_view>

#include "win32/gdi.h"

namespace quellor::win32::metafile {

// True when hdc is an open enhanced-metafile context.
bool IsRecording(HDC hdc);

void RecordLineTo(HDC hdc, int x, int y);
void RecordPolyline(HDC hdc, const POINT* points, int count);
void RecordRectangle(HDC hdc, RECT r);
void RecordFillRect(HDC hdc, const RECT& r, HBRUSH brush);
void RecordFrameRect(HDC hdc, const RECT& r, HBRUSH brush);
void RecordPatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop);
void RecordTextOut(HDC hdc, int x, int y, std::string_view text);
void RecordDrawText(HDC hdc, std::string_view text, const RECT& r, UINT format);
// Blits copy the source pixels into the record at the time of the call.
void RecordStretchBlt(HDC hdc, int x, int y, int w, int h, HDC source, int sx, int sy, int sw,
                      int sh, DWORD rop);
void RecordStretchDIBits(HDC hdc, int x, int y, int w, int h, int sx, int sy, int sw, int sh,
                         const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop);
void RecordSetDIBitsToDevice(HDC hdc, int x, int y, DWORD w, DWORD h, int sx, int sy,
                             UINT startScan, UINT lines, const void* bits, const BITMAPINFO* info,
                             UINT usage);

}  // namespace quellor::win32::metafile
