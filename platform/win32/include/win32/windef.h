// Geometry, colour and handle types shared by USER32 and GDI32.
#pragma once

#include "types.h"

QUELLOR_DECLARE_HANDLE(HDC);
typedef void* HGDIOBJ;  // any GDI object; the specific handles convert to it
QUELLOR_DECLARE_HANDLE(HBITMAP);
QUELLOR_DECLARE_HANDLE(HBRUSH);
QUELLOR_DECLARE_HANDLE(HPEN);
QUELLOR_DECLARE_HANDLE(HFONT);
QUELLOR_DECLARE_HANDLE(HRGN);
QUELLOR_DECLARE_HANDLE(HPALETTE);
QUELLOR_DECLARE_HANDLE(HICON);
typedef HICON HCURSOR;
QUELLOR_DECLARE_HANDLE(HMENU);

typedef DWORD COLORREF;
typedef DWORD* LPCOLORREF;

#define RGB(r, g, b) \
  ((COLORREF)(((BYTE)(r) | ((WORD)((BYTE)(g)) << 8)) | (((DWORD)(BYTE)(b)) << 16)))
#define GetRValue(rgb) (LOBYTE(rgb))
#define GetGValue(rgb) (LOBYTE(((WORD)(rgb)) >> 8))
#define GetBValue(rgb) (LOBYTE((rgb) >> 16))
#define CLR_INVALID 0xFFFFFFFF

typedef struct tagRECT {
  LONG left;
  LONG top;
  LONG right;
  LONG bottom;
} RECT, *PRECT, *LPRECT;
typedef const RECT* LPCRECT;

typedef struct tagPOINT {
  LONG x;
  LONG y;
} POINT, *PPOINT, *LPPOINT;

typedef struct tagSIZE {
  LONG cx;
  LONG cy;
} SIZE, *PSIZE, *LPSIZE;

typedef struct tagPOINTS {
  SHORT x;
  SHORT y;
} POINTS, *PPOINTS;

#define MAKEPOINTS(l) (*((POINTS*)&(l)))
#define GET_X_LPARAM(lp) ((int)(short)LOWORD(lp))
#define GET_Y_LPARAM(lp) ((int)(short)HIWORD(lp))
#define MAKEWPARAM(l, h) ((WPARAM)(DWORD)MAKELONG(l, h))
#define MAKELPARAM(l, h) ((LPARAM)(DWORD)MAKELONG(l, h))
#define MAKELRESULT(l, h) ((LRESULT)(DWORD)MAKELONG(l, h))

#define MAKEINTRESOURCEA(i) ((LPSTR)((ULONG_PTR)((WORD)(i))))
#define MAKEINTRESOURCE MAKEINTRESOURCEA
#define IS_INTRESOURCE(r) ((((ULONG_PTR)(r)) >> 16) == 0)
