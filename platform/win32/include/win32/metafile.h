// GDI32 enhanced metafiles: a device context that records the drawing done on
// it (rectangles, lines, text, blits), and the playback of the recording
// scaled into any rectangle of another context.
#pragma once

#include <quellor/Export.h>

#include "types.h"
#include "windef.h"

#ifdef __cplusplus
extern "C" {
#endif

QUELLOR_DECLARE_HANDLE(HENHMETAFILE);

// lprc: the picture frame in 0.01 mm units (null: the bounds of what is drawn).
QUELLOR_EXPORT HDC WINAPI CreateEnhMetaFileA(HDC hdc, LPCSTR lpFilename, const RECT* lprc,
                                             LPCSTR lpDesc);
QUELLOR_EXPORT HENHMETAFILE WINAPI CloseEnhMetaFile(HDC hdc);
QUELLOR_EXPORT BOOL WINAPI PlayEnhMetaFile(HDC hdc, HENHMETAFILE hmf, const RECT* lprect);
QUELLOR_EXPORT BOOL WINAPI DeleteEnhMetaFile(HENHMETAFILE hmf);
QUELLOR_EXPORT HENHMETAFILE WINAPI CopyEnhMetaFileA(HENHMETAFILE hEnh, LPCSTR lpFileName);

#ifdef __cplusplus
}
#endif
