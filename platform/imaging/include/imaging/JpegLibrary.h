// The JPEG library of the clipboard viewer: reads a JPEG picture (from a file
// or from memory) into a caller's picture, in two steps on one properties
// record:
//
//   JPEG_CORE_PROPERTIES props;
//   ijlInit(&props);
//   props.JPGFile = path;
//   ijlRead(&props, IJL_JFILE_READPARAMS);      // fills JPGWidth, JPGHeight, JPGChannels
//   ... make a picture, describe it in DIBBytes, DIBWidth, DIBHeight, ...
//   ijlRead(&props, IJL_JFILE_READWHOLEIMAGE);  // decodes into it, row by row
//   ijlFree(&props);
//
// 1 (grey), 3 (YCbCr or RGB) and 4 (CMYK or YCCK, Adobe's inverted ink
// values included) component files are read. A failure is a negative result
// with a message in ErrorText; the program never aborts. Truncated or corrupt
// data is an error, not a half-grey picture; so is a progressive file of
// more than IJL_MAX_SCANS scans (each scan costs a pass over the picture).
// Pictures wider or taller than
// IJL_MAX_SIDE, or of more than IJL_MAX_PIXELS pixels, are refused when their
// parameters are read, before anyone allocates for them.
#pragma once

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

#define IJL_MAX_SIDE 16384
#define IJL_MAX_PIXELS (64 * 1024 * 1024)
#define IJL_MAX_SCANS 1000
#define IJL_ERROR_TEXT_LENGTH 200

typedef enum {
  IJL_OK = 0,
  IJL_BAD_ARGUMENT = -1,          // null record, unknown mode, no file or buffer named
  IJL_NOT_INITIALISED = -2,       // the record did not go through ijlInit
  IJL_CANNOT_OPEN_FILE = -3,      // JPGFile could not be opened
  IJL_INVALID_JPEG = -4,          // not a JPEG, or its data is corrupt
  IJL_TRUNCATED = -5,             // the data ends before the picture does
  IJL_TOO_LARGE = -6,             // beyond IJL_MAX_SIDE or IJL_MAX_PIXELS
  IJL_UNSUPPORTED_CHANNELS = -7,  // neither 1, 3 nor 4 components
  IJL_INVALID_DIB = -8,           // the destination description does not fit the picture
  IJL_OUT_OF_MEMORY = -9
} IJLERR;

typedef enum {
  IJL_JFILE_READPARAMS = 0,      // JPGFile: read the parameters only
  IJL_JFILE_READWHOLEIMAGE = 1,  // JPGFile: read the picture into the DIB
  IJL_JBUFF_READPARAMS = 2,      // JPGBytes / JPGSizeBytes: the same from memory
  IJL_JBUFF_READWHOLEIMAGE = 3
} IJLIOTYPE;

// Colours. A file's colour (JPGColor) is reported by READPARAMS from its own
// markers. The destination's (DIBColor) picks the byte order written:
// IJL_G 1 byte, IJL_RGB / IJL_BGR 3 bytes, IJL_RGBA / IJL_BGRA 4 bytes with
// the fourth byte 255.
typedef enum {
  IJL_OTHER = 0,
  IJL_G = 1,
  IJL_RGB = 2,
  IJL_BGR = 3,
  IJL_YCBCR = 4,
  IJL_RGBA = 5,
  IJL_BGRA = 6,
  IJL_CMYK = 7,
  IJL_YCCK = 8
} IJL_COLOR;

typedef struct {
  // Destination picture, described by the caller before READWHOLEIMAGE. It
  // must hold JPGHeight rows of DIBWidth x DIBChannels + DIBPadBytes bytes;
  // pad bytes are never written.
  unsigned char* DIBBytes;  // first byte of the top row
  int DIBWidth;             // pixels; must equal JPGWidth
  int DIBHeight;            // rows; +JPGHeight: top-down, -JPGHeight: bottom-up
  int DIBPadBytes;          // bytes after each row's pixels (0 or more)
  int DIBChannels;          // bytes per pixel: 1, 3 or 4, matching DIBColor
  IJL_COLOR DIBColor;       // IJL_G, IJL_RGB, IJL_BGR, IJL_RGBA or IJL_BGRA

  // Source: a file name (JFILE modes) or a block of memory (JBUFF modes).
  const char* JPGFile;
  const unsigned char* JPGBytes;
  size_t JPGSizeBytes;

  // Filled by either read.
  int JPGWidth;        // pixels
  int JPGHeight;       // rows
  int JPGChannels;     // components in the file: 1, 3 or 4
  IJL_COLOR JPGColor;  // IJL_G, IJL_YCBCR, IJL_RGB, IJL_CMYK or IJL_YCCK

  char ErrorText[IJL_ERROR_TEXT_LENGTH];  // why the last call failed ("" after success)
  unsigned int initialised;               // set by ijlInit, cleared by ijlFree
} JPEG_CORE_PROPERTIES;

// Clears the record and sets its defaults (DIBColor IJL_BGRA, 4 channels).
IJLERR ijlInit(JPEG_CORE_PROPERTIES* props);

// Reads parameters or the whole picture; see IJLIOTYPE.
IJLERR ijlRead(JPEG_CORE_PROPERTIES* props, IJLIOTYPE mode);

// Ends the record's use. The record holds no resources between calls, so
// this only marks it uninitialised; calling it twice is harmless.
IJLERR ijlFree(JPEG_CORE_PROPERTIES* props);

// A short fixed text for a result code.
const char* ijlErrorStr(IJLERR code);

#ifdef __cplusplus
}
#endif
