// The entry points of the JPEG library: the record's life and the read modes.
#include <cstring>

#include "JpegRead.h"
#include "imaging/JpegLibrary.h"

namespace {

// Marks a record that went through ijlInit.
constexpr unsigned int kInitialised = 0x494a4c31;  // "IJL1"

}  // namespace

extern "C" IJLERR ijlInit(JPEG_CORE_PROPERTIES* props) {
  if (props == nullptr) return IJL_BAD_ARGUMENT;
  std::memset(props, 0, sizeof *props);
  props->DIBChannels = 4;
  props->DIBColor = IJL_BGRA;
  props->initialised = kInitialised;
  return IJL_OK;
}

extern "C" IJLERR ijlFree(JPEG_CORE_PROPERTIES* props) {
  if (props == nullptr) return IJL_BAD_ARGUMENT;
  props->initialised = 0;
  return IJL_OK;
}

extern "C" IJLERR ijlRead(JPEG_CORE_PROPERTIES* props, IJLIOTYPE mode) {
  using quellor::imaging::JpegFailure;
  if (props == nullptr) return IJL_BAD_ARGUMENT;
  if (props->initialised != kInitialised) {
    return JpegFailure(props, IJL_NOT_INITIALISED, "The record was not initialised");
  }
  const bool fromFile = mode == IJL_JFILE_READPARAMS || mode == IJL_JFILE_READWHOLEIMAGE;
  const bool whole = mode == IJL_JFILE_READWHOLEIMAGE || mode == IJL_JBUFF_READWHOLEIMAGE;
  if (!fromFile && mode != IJL_JBUFF_READPARAMS && mode != IJL_JBUFF_READWHOLEIMAGE) {
    return JpegFailure(props, IJL_BAD_ARGUMENT, "Unknown read mode");
  }
  if (fromFile ? props->JPGFile == nullptr
               : (props->JPGBytes == nullptr && props->JPGSizeBytes != 0)) {
    return JpegFailure(props, IJL_BAD_ARGUMENT, "No JPEG file or memory named");
  }
  return quellor::imaging::ReadJpeg(props, fromFile, whole);
}

extern "C" const char* ijlErrorStr(IJLERR code) {
  switch (code) {
    case IJL_OK:
      return "No error";
    case IJL_BAD_ARGUMENT:
      return "Bad argument";
    case IJL_NOT_INITIALISED:
      return "Properties record not initialised";
    case IJL_CANNOT_OPEN_FILE:
      return "Cannot open the JPEG file";
    case IJL_INVALID_JPEG:
      return "Not a JPEG picture, or its data is corrupt";
    case IJL_TRUNCATED:
      return "The JPEG data ends early";
    case IJL_TOO_LARGE:
      return "The JPEG picture is too large";
    case IJL_UNSUPPORTED_CHANNELS:
      return "Unsupported number of JPEG components";
    case IJL_INVALID_DIB:
      return "The destination picture does not fit the JPEG";
    case IJL_OUT_OF_MEMORY:
      return "Out of memory";
  }
  return "Unknown error";
}
