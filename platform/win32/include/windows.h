// The Win32 subset of the Video Quellor suite, built on POSIX.
// Same names, types, constant values and documented behaviour as Win32 (ANSI
// forms); pointer-sized types are 64-bit on a 64-bit build.
#pragma once

#include "win32/types.h"
#include "win32/errors.h"
#include "win32/kernel.h"
#include "win32/user.h"
#include "win32/gdi.h"
#include "win32/messagebox.h"
#include "win32/menus.h"
#include "win32/clipboard.h"
#include "win32/metafile.h"
#include "win32/shellapi.h"
#include "win32/commdlg.h"
#include "win32/resources.h"
#include "win32/controls.h"
#include "win32/dialogs.h"
