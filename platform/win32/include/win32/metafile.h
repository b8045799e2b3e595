// GDI32 enhanced metafiles: a device context that records the drawing done on
// it (rectangles, lines, text, blits), and the playback of the recording
// scaled into any rectangle of another context.
#pragma once

#include "types.h"
#include "windef.h"

#ifdef __cplusplus
extern "C" {
#endif

QUELLOR_DECLARE_HANDLE(HENHMETAFILE);

// lprc: the picture frame in 0.01 mm units (null: the bounds of what is drawn).
HDC WINAPI CreateEnhMetaFileA(HDC hdc, LPCSTR lpFilename, const RECT* lprc, LPCSTR lpDesc);
HENHMETAFILE WINAPI CloseEnhMetaFile(HDC hdc);
BOOL WINAPI PlayEnhMetaFile(HDC hdc, HENHMETAFILE hmf, const RECT* lprect);
BOOL WINAPI DeleteEnhMetaFile(HENHMETAFILE hmf);
HENHMETAFILE WINAPI CopyEnhMetaFileA(HENHMETAFILE hEnh, LPCSTR lpFileName);

#ifdef __cplusplus
}
#endif
