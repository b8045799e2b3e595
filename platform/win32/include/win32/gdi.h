// GDI32: device contexts, bitmaps and DIB sections, pens, brushes, regions,
// fonts and text, drawing and blits on 32-bit BGRA surfaces.
#pragma once

#include <quellor/Export.h>

#include "types.h"
#include "windef.h"

#ifdef __cplusplus
extern "C" {
#endif

// ---- bitmaps and DIBs -------------------------------------------------------
#define BI_RGB 0L
#define BI_RLE8 1L
#define BI_RLE4 2L
#define BI_BITFIELDS 3L
#define DIB_RGB_COLORS 0
#define DIB_PAL_COLORS 1

typedef struct tagRGBQUAD {
  BYTE rgbBlue;
  BYTE rgbGreen;
  BYTE rgbRed;
  BYTE rgbReserved;
} RGBQUAD, *LPRGBQUAD;

typedef struct tagBITMAPINFOHEADER {
  DWORD biSize;
  LONG biWidth;
  LONG biHeight;
  WORD biPlanes;
  WORD biBitCount;
  DWORD biCompression;
  DWORD biSizeImage;
  LONG biXPelsPerMeter;
  LONG biYPelsPerMeter;
  DWORD biClrUsed;
  DWORD biClrImportant;
} BITMAPINFOHEADER, *LPBITMAPINFOHEADER, *PBITMAPINFOHEADER;

typedef struct tagBITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[1];
} BITMAPINFO, *LPBITMAPINFO, *PBITMAPINFO;

#pragma pack(push, 2)
typedef struct tagBITMAPFILEHEADER {
  WORD bfType;
  DWORD bfSize;
  WORD bfReserved1;
  WORD bfReserved2;
  DWORD bfOffBits;
} BITMAPFILEHEADER, *LPBITMAPFILEHEADER, *PBITMAPFILEHEADER;
#pragma pack(pop)

typedef struct tagBITMAP {
  LONG bmType;
  LONG bmWidth;
  LONG bmHeight;
  LONG bmWidthBytes;
  WORD bmPlanes;
  WORD bmBitsPixel;
  LPVOID bmBits;
} BITMAP, *PBITMAP, *LPBITMAP;

typedef struct tagDIBSECTION {
  BITMAP dsBm;
  BITMAPINFOHEADER dsBmih;
  DWORD dsBitfields[3];
  HANDLE dshSection;
  DWORD dsOffset;
} DIBSECTION, *LPDIBSECTION, *PDIBSECTION;

QUELLOR_EXPORT HBITMAP WINAPI CreateDIBSection(HDC hdc, const BITMAPINFO* pbmi, UINT usage,
                                               void** ppvBits, HANDLE hSection, DWORD offset);
QUELLOR_EXPORT HBITMAP WINAPI CreateCompatibleBitmap(HDC hdc, int cx, int cy);
QUELLOR_EXPORT HBITMAP WINAPI CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitCount,
                                           const void* lpBits);
QUELLOR_EXPORT int WINAPI GetDIBits(HDC hdc, HBITMAP hbm, UINT start, UINT cLines, LPVOID lpvBits,
                                    LPBITMAPINFO lpbmi, UINT usage);
QUELLOR_EXPORT int WINAPI SetDIBits(HDC hdc, HBITMAP hbm, UINT start, UINT cLines,
                                    const void* lpBits, const BITMAPINFO* lpbmi, UINT ColorUse);
QUELLOR_EXPORT int WINAPI SetDIBitsToDevice(HDC hdc, int xDest, int yDest, DWORD w, DWORD h,
                                            int xSrc, int ySrc, UINT StartScan, UINT cLines,
                                            const void* lpvBits, const BITMAPINFO* lpbmi,
                                            UINT ColorUse);
QUELLOR_EXPORT int WINAPI StretchDIBits(HDC hdc, int xDest, int yDest, int DestWidth,
                                        int DestHeight, int xSrc, int ySrc, int SrcWidth,
                                        int SrcHeight, const void* lpBits, const BITMAPINFO* lpbmi,
                                        UINT iUsage, DWORD rop);
QUELLOR_EXPORT UINT WINAPI SetDIBColorTable(HDC hdc, UINT iStart, UINT cEntries,
                                            const RGBQUAD* prgbq);
QUELLOR_EXPORT UINT WINAPI GetDIBColorTable(HDC hdc, UINT iStart, UINT cEntries, RGBQUAD* prgbq);
QUELLOR_EXPORT BOOL WINAPI GdiFlush(void);

// ---- raster operations ------------------------------------------------------
#define SRCCOPY (DWORD)0x00CC0020
#define SRCPAINT (DWORD)0x00EE0086
#define SRCAND (DWORD)0x008800C6
#define SRCINVERT (DWORD)0x00660046
#define SRCERASE (DWORD)0x00440328
#define NOTSRCCOPY (DWORD)0x00330008
#define NOTSRCERASE (DWORD)0x001100A6
#define MERGECOPY (DWORD)0x00C000CA
#define MERGEPAINT (DWORD)0x00BB0226
#define PATCOPY (DWORD)0x00F00021
#define PATPAINT (DWORD)0x00FB0A09
#define PATINVERT (DWORD)0x005A0049
#define DSTINVERT (DWORD)0x00550009
#define BLACKNESS (DWORD)0x00000042
#define WHITENESS (DWORD)0x00FF0062
#define NOMIRRORBITMAP (DWORD)0x80000000
#define CAPTUREBLT (DWORD)0x40000000

QUELLOR_EXPORT BOOL WINAPI BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1,
                                  DWORD rop);
QUELLOR_EXPORT BOOL WINAPI StretchBlt(HDC hdcDest, int xDest, int yDest, int wDest, int hDest,
                                      HDC hdcSrc, int xSrc, int ySrc, int wSrc, int hSrc,
                                      DWORD rop);
QUELLOR_EXPORT BOOL WINAPI PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop);

#define BLACKONWHITE 1
#define WHITEONBLACK 2
#define COLORONCOLOR 3
#define HALFTONE 4
#define STRETCH_ANDSCANS BLACKONWHITE
#define STRETCH_ORSCANS WHITEONBLACK
#define STRETCH_DELETESCANS COLORONCOLOR
#define STRETCH_HALFTONE HALFTONE
QUELLOR_EXPORT int WINAPI SetStretchBltMode(HDC hdc, int mode);
QUELLOR_EXPORT int WINAPI GetStretchBltMode(HDC hdc);
QUELLOR_EXPORT BOOL WINAPI SetBrushOrgEx(HDC hdc, int x, int y, LPPOINT lppt);

#define R2_BLACK 1
#define R2_NOTMERGEPEN 2
#define R2_MASKNOTPEN 3
#define R2_NOTCOPYPEN 4
#define R2_MASKPENNOT 5
#define R2_NOT 6
#define R2_XORPEN 7
#define R2_NOTMASKPEN 8
#define R2_MASKPEN 9
#define R2_NOTXORPEN 10
#define R2_NOP 11
#define R2_MERGENOTPEN 12
#define R2_COPYPEN 13
#define R2_MERGEPENNOT 14
#define R2_MERGEPEN 15
#define R2_WHITE 16
QUELLOR_EXPORT int WINAPI SetROP2(HDC hdc, int rop2);
QUELLOR_EXPORT int WINAPI GetROP2(HDC hdc);

// ---- device contexts --------------------------------------------------------
QUELLOR_EXPORT HDC WINAPI CreateCompatibleDC(HDC hdc);
typedef struct _devicemodeA DEVMODEA;
QUELLOR_EXPORT HDC WINAPI CreateDCA(LPCSTR pwszDriver, LPCSTR pwszDevice, LPCSTR pszPort,
                                    const DEVMODEA* pdm);
QUELLOR_EXPORT HDC WINAPI CreateICA(LPCSTR pszDriver, LPCSTR pszDevice, LPCSTR pszPort,
                                    const DEVMODEA* pdm);
QUELLOR_EXPORT BOOL WINAPI DeleteDC(HDC hdc);
QUELLOR_EXPORT int WINAPI SaveDC(HDC hdc);
QUELLOR_EXPORT BOOL WINAPI RestoreDC(HDC hdc, int nSavedDC);

#define DRIVERVERSION 0
#define TECHNOLOGY 2
#define HORZSIZE 4
#define VERTSIZE 6
#define HORZRES 8
#define VERTRES 10
#define BITSPIXEL 12
#define PLANES 14
#define NUMBRUSHES 16
#define NUMPENS 18
#define NUMFONTS 22
#define NUMCOLORS 24
#define RASTERCAPS 38
#define LOGPIXELSX 88
#define LOGPIXELSY 90
#define SIZEPALETTE 104
#define NUMRESERVED 106
#define COLORRES 108
#define VREFRESH 116
#define DESKTOPVERTRES 117
#define DESKTOPHORZRES 118
#define BLTALIGNMENT 119
#define DT_RASDISPLAY 1
#define RC_BITBLT 1
#define RC_DI_BITMAP 0x0080
#define RC_DIBTODEV 0x0200
#define RC_STRETCHBLT 0x0800
#define RC_STRETCHDIB 0x2000
QUELLOR_EXPORT int WINAPI GetDeviceCaps(HDC hdc, int index);

#define CCHDEVICENAME 32
#define CCHFORMNAME 32
#define DM_BITSPERPEL 0x00040000L
#define DM_PELSWIDTH 0x00080000L
#define DM_PELSHEIGHT 0x00100000L
#define DM_DISPLAYFLAGS 0x00200000L
#define DM_DISPLAYFREQUENCY 0x00400000L
#define ENUM_CURRENT_SETTINGS ((DWORD)-1)
#define ENUM_REGISTRY_SETTINGS ((DWORD)-2)

struct _devicemodeA {
  BYTE dmDeviceName[CCHDEVICENAME];
  WORD dmSpecVersion;
  WORD dmDriverVersion;
  WORD dmSize;
  WORD dmDriverExtra;
  DWORD dmFields;
  __extension__ union {
    __extension__ struct {
      short dmOrientation;
      short dmPaperSize;
      short dmPaperLength;
      short dmPaperWidth;
      short dmScale;
      short dmCopies;
      short dmDefaultSource;
      short dmPrintQuality;
    };
    __extension__ struct {
      POINT dmPosition;
      DWORD dmDisplayOrientation;
      DWORD dmDisplayFixedOutput;
    };
  };
  short dmColor;
  short dmDuplex;
  short dmYResolution;
  short dmTTOption;
  short dmCollate;
  BYTE dmFormName[CCHFORMNAME];
  WORD dmLogPixels;
  DWORD dmBitsPerPel;
  DWORD dmPelsWidth;
  DWORD dmPelsHeight;
  __extension__ union {
    DWORD dmDisplayFlags;
    DWORD dmNup;
  };
  DWORD dmDisplayFrequency;
  DWORD dmICMMethod;
  DWORD dmICMIntent;
  DWORD dmMediaType;
  DWORD dmDitherType;
  DWORD dmReserved1;
  DWORD dmReserved2;
  DWORD dmPanningWidth;
  DWORD dmPanningHeight;
};
typedef DEVMODEA *PDEVMODEA, *LPDEVMODEA;
typedef DEVMODEA DEVMODE;
QUELLOR_EXPORT BOOL WINAPI EnumDisplaySettingsA(LPCSTR lpszDeviceName, DWORD iModeNum,
                                                DEVMODEA* lpDevMode);

// ---- objects ----------------------------------------------------------------
#define OBJ_PEN 1
#define OBJ_BRUSH 2
#define OBJ_DC 3
#define OBJ_PAL 5
#define OBJ_FONT 6
#define OBJ_BITMAP 7
#define OBJ_REGION 8
#define OBJ_MEMDC 10
#define HGDI_ERROR ((HANDLE)(LONG_PTR)-1)

#define WHITE_BRUSH 0
#define LTGRAY_BRUSH 1
#define GRAY_BRUSH 2
#define DKGRAY_BRUSH 3
#define BLACK_BRUSH 4
#define NULL_BRUSH 5
#define HOLLOW_BRUSH NULL_BRUSH
#define WHITE_PEN 6
#define BLACK_PEN 7
#define NULL_PEN 8
#define OEM_FIXED_FONT 10
#define ANSI_FIXED_FONT 11
#define ANSI_VAR_FONT 12
#define SYSTEM_FONT 13
#define DEVICE_DEFAULT_FONT 14
#define DEFAULT_PALETTE 15
#define SYSTEM_FIXED_FONT 16
#define DEFAULT_GUI_FONT 17
#define DC_BRUSH 18
#define DC_PEN 19

QUELLOR_EXPORT HGDIOBJ WINAPI GetStockObject(int i);
QUELLOR_EXPORT HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ h);
QUELLOR_EXPORT BOOL WINAPI DeleteObject(HGDIOBJ ho);
QUELLOR_EXPORT int WINAPI GetObjectA(HANDLE h, int c, LPVOID pv);
QUELLOR_EXPORT DWORD WINAPI GetObjectType(HGDIOBJ h);
QUELLOR_EXPORT HGDIOBJ WINAPI GetCurrentObject(HDC hdc, UINT type);

// ---- pens and brushes -------------------------------------------------------
#define PS_SOLID 0
#define PS_DASH 1
#define PS_DOT 2
#define PS_DASHDOT 3
#define PS_DASHDOTDOT 4
#define PS_NULL 5
#define PS_INSIDEFRAME 6
#define PS_STYLE_MASK 0x0000000F

#define BS_SOLID 0
#define BS_NULL 1
#define BS_HOLLOW BS_NULL
#define BS_HATCHED 2

typedef struct tagLOGPEN {
  UINT lopnStyle;
  POINT lopnWidth;
  COLORREF lopnColor;
} LOGPEN, *PLOGPEN, *LPLOGPEN;

typedef struct tagLOGBRUSH {
  UINT lbStyle;
  COLORREF lbColor;
  ULONG_PTR lbHatch;
} LOGBRUSH, *PLOGBRUSH, *LPLOGBRUSH;

QUELLOR_EXPORT HPEN WINAPI CreatePen(int iStyle, int cWidth, COLORREF color);
QUELLOR_EXPORT HPEN WINAPI CreatePenIndirect(const LOGPEN* plpen);
QUELLOR_EXPORT HBRUSH WINAPI CreateSolidBrush(COLORREF color);
QUELLOR_EXPORT HBRUSH WINAPI CreateBrushIndirect(const LOGBRUSH* plbrush);
QUELLOR_EXPORT COLORREF WINAPI SetDCBrushColor(HDC hdc, COLORREF color);
QUELLOR_EXPORT COLORREF WINAPI SetDCPenColor(HDC hdc, COLORREF color);

// ---- drawing ----------------------------------------------------------------
QUELLOR_EXPORT BOOL WINAPI MoveToEx(HDC hdc, int x, int y, LPPOINT lppt);
QUELLOR_EXPORT BOOL WINAPI LineTo(HDC hdc, int x, int y);
QUELLOR_EXPORT BOOL WINAPI Polyline(HDC hdc, const POINT* apt, int cpt);
QUELLOR_EXPORT BOOL WINAPI Rectangle(HDC hdc, int left, int top, int right, int bottom);
QUELLOR_EXPORT COLORREF WINAPI SetPixel(HDC hdc, int x, int y, COLORREF color);
QUELLOR_EXPORT COLORREF WINAPI GetPixel(HDC hdc, int x, int y);
QUELLOR_EXPORT BOOL WINAPI SetViewportOrgEx(HDC hdc, int x, int y, LPPOINT lppt);
QUELLOR_EXPORT BOOL WINAPI GetViewportOrgEx(HDC hdc, LPPOINT lppt);
QUELLOR_EXPORT BOOL WINAPI OffsetViewportOrgEx(HDC hdc, int x, int y, LPPOINT lppt);

// ---- regions ----------------------------------------------------------------
#define ERROR 0
#define NULLREGION 1
#define SIMPLEREGION 2
#define COMPLEXREGION 3
#define RGN_ERROR ERROR
#define RGN_AND 1
#define RGN_OR 2
#define RGN_XOR 3
#define RGN_DIFF 4
#define RGN_COPY 5
#define RDH_RECTANGLES 1

typedef struct _RGNDATAHEADER {
  DWORD dwSize;
  DWORD iType;
  DWORD nCount;
  DWORD nRgnSize;
  RECT rcBound;
} RGNDATAHEADER, *PRGNDATAHEADER;

typedef struct _RGNDATA {
  RGNDATAHEADER rdh;
  char Buffer[1];
} RGNDATA, *PRGNDATA, *LPRGNDATA;

typedef struct tagXFORM {
  FLOAT eM11;
  FLOAT eM12;
  FLOAT eM21;
  FLOAT eM22;
  FLOAT eDx;
  FLOAT eDy;
} XFORM, *PXFORM, *LPXFORM;

QUELLOR_EXPORT HRGN WINAPI CreateRectRgn(int x1, int y1, int x2, int y2);
QUELLOR_EXPORT HRGN WINAPI CreateRectRgnIndirect(const RECT* lprect);
QUELLOR_EXPORT HRGN WINAPI ExtCreateRegion(const XFORM* lpx, DWORD nCount, const RGNDATA* lpData);
QUELLOR_EXPORT DWORD WINAPI GetRegionData(HRGN hrgn, DWORD nCount, LPRGNDATA lpRgnData);
QUELLOR_EXPORT int WINAPI CombineRgn(HRGN hrgnDst, HRGN hrgnSrc1, HRGN hrgnSrc2, int iMode);
QUELLOR_EXPORT BOOL WINAPI SetRectRgn(HRGN hrgn, int left, int top, int right, int bottom);
QUELLOR_EXPORT int WINAPI OffsetRgn(HRGN hrgn, int x, int y);
QUELLOR_EXPORT BOOL WINAPI PtInRegion(HRGN hrgn, int x, int y);
QUELLOR_EXPORT BOOL WINAPI RectInRegion(HRGN hrgn, const RECT* lprect);
QUELLOR_EXPORT BOOL WINAPI EqualRgn(HRGN hrgn1, HRGN hrgn2);
QUELLOR_EXPORT int WINAPI GetRgnBox(HRGN hrgn, LPRECT lprc);
QUELLOR_EXPORT BOOL WINAPI FillRgn(HDC hdc, HRGN hrgn, HBRUSH hbr);
QUELLOR_EXPORT BOOL WINAPI PaintRgn(HDC hdc, HRGN hrgn);
QUELLOR_EXPORT int WINAPI SelectClipRgn(HDC hdc, HRGN hrgn);
QUELLOR_EXPORT int WINAPI ExtSelectClipRgn(HDC hdc, HRGN hrgn, int mode);
QUELLOR_EXPORT int WINAPI ExcludeClipRect(HDC hdc, int left, int top, int right, int bottom);
QUELLOR_EXPORT int WINAPI IntersectClipRect(HDC hdc, int left, int top, int right, int bottom);
QUELLOR_EXPORT int WINAPI GetClipBox(HDC hdc, LPRECT lprect);
QUELLOR_EXPORT int WINAPI GetClipRgn(HDC hdc, HRGN hrgn);

// ---- fonts and text ---------------------------------------------------------
#define LF_FACESIZE 32
#define FW_DONTCARE 0
#define FW_THIN 100
#define FW_EXTRALIGHT 200
#define FW_LIGHT 300
#define FW_NORMAL 400
#define FW_REGULAR 400
#define FW_MEDIUM 500
#define FW_SEMIBOLD 600
#define FW_BOLD 700
#define FW_EXTRABOLD 800
#define FW_HEAVY 900

#define ANSI_CHARSET 0
#define DEFAULT_CHARSET 1
#define SYMBOL_CHARSET 2
#define OEM_CHARSET 255
#define OUT_DEFAULT_PRECIS 0
#define OUT_TT_PRECIS 4
#define CLIP_DEFAULT_PRECIS 0
#define DEFAULT_QUALITY 0
#define DRAFT_QUALITY 1
#define PROOF_QUALITY 2
#define NONANTIALIASED_QUALITY 3
#define ANTIALIASED_QUALITY 4
#define CLEARTYPE_QUALITY 5
#define DEFAULT_PITCH 0
#define FIXED_PITCH 1
#define VARIABLE_PITCH 2
#define FF_DONTCARE (0 << 4)
#define FF_ROMAN (1 << 4)
#define FF_SWISS (2 << 4)
#define FF_MODERN (3 << 4)
#define TMPF_FIXED_PITCH 0x01
#define TMPF_VECTOR 0x02
#define TMPF_TRUETYPE 0x04

typedef struct tagLOGFONTA {
  LONG lfHeight;
  LONG lfWidth;
  LONG lfEscapement;
  LONG lfOrientation;
  LONG lfWeight;
  BYTE lfItalic;
  BYTE lfUnderline;
  BYTE lfStrikeOut;
  BYTE lfCharSet;
  BYTE lfOutPrecision;
  BYTE lfClipPrecision;
  BYTE lfQuality;
  BYTE lfPitchAndFamily;
  CHAR lfFaceName[LF_FACESIZE];
} LOGFONTA, *PLOGFONTA, *LPLOGFONTA;
typedef LOGFONTA LOGFONT;

typedef struct tagTEXTMETRICA {
  LONG tmHeight;
  LONG tmAscent;
  LONG tmDescent;
  LONG tmInternalLeading;
  LONG tmExternalLeading;
  LONG tmAveCharWidth;
  LONG tmMaxCharWidth;
  LONG tmWeight;
  LONG tmOverhang;
  LONG tmDigitizedAspectX;
  LONG tmDigitizedAspectY;
  BYTE tmFirstChar;
  BYTE tmLastChar;
  BYTE tmDefaultChar;
  BYTE tmBreakChar;
  BYTE tmItalic;
  BYTE tmUnderlined;
  BYTE tmStruckOut;
  BYTE tmPitchAndFamily;
  BYTE tmCharSet;
} TEXTMETRICA, *PTEXTMETRICA, *LPTEXTMETRICA;
typedef TEXTMETRICA TEXTMETRIC;

QUELLOR_EXPORT HFONT WINAPI CreateFontA(int cHeight, int cWidth, int cEscapement, int cOrientation,
                                        int cWeight, DWORD bItalic, DWORD bUnderline,
                                        DWORD bStrikeOut, DWORD iCharSet, DWORD iOutPrecision,
                                        DWORD iClipPrecision, DWORD iQuality, DWORD iPitchAndFamily,
                                        LPCSTR pszFaceName);
QUELLOR_EXPORT HFONT WINAPI CreateFontIndirectA(const LOGFONTA* lplf);
QUELLOR_EXPORT BOOL WINAPI GetTextMetricsA(HDC hdc, LPTEXTMETRICA lptm);
QUELLOR_EXPORT BOOL WINAPI GetTextExtentPoint32A(HDC hdc, LPCSTR lpString, int c, LPSIZE psizl);
QUELLOR_EXPORT int WINAPI GetTextFaceA(HDC hdc, int c, LPSTR lpName);
QUELLOR_EXPORT BOOL WINAPI TextOutA(HDC hdc, int x, int y, LPCSTR lpString, int c);

#define TRANSPARENT 1
#define OPAQUE 2
QUELLOR_EXPORT int WINAPI SetBkMode(HDC hdc, int mode);
QUELLOR_EXPORT int WINAPI GetBkMode(HDC hdc);
QUELLOR_EXPORT COLORREF WINAPI SetBkColor(HDC hdc, COLORREF color);
QUELLOR_EXPORT COLORREF WINAPI GetBkColor(HDC hdc);
QUELLOR_EXPORT COLORREF WINAPI SetTextColor(HDC hdc, COLORREF color);
QUELLOR_EXPORT COLORREF WINAPI GetTextColor(HDC hdc);

#define TA_NOUPDATECP 0
#define TA_UPDATECP 1
#define TA_LEFT 0
#define TA_RIGHT 2
#define TA_CENTER 6
#define TA_TOP 0
#define TA_BOTTOM 8
#define TA_BASELINE 24
#define GDI_ERROR (0xFFFFFFFFL)
QUELLOR_EXPORT UINT WINAPI SetTextAlign(HDC hdc, UINT align);
QUELLOR_EXPORT UINT WINAPI GetTextAlign(HDC hdc);

#ifdef __cplusplus
}
#endif
