#include "JpegErrors.h"

#include <jerror.h>

namespace quellor::imaging {
namespace {

IJLERR ResultOfError(int messageCode) {
  switch (messageCode) {
    case JERR_OUT_OF_MEMORY:
    case JERR_NO_BACKING_STORE:
      return IJL_OUT_OF_MEMORY;
    case JERR_INPUT_EOF:
      return IJL_TRUNCATED;
    default:
      return IJL_INVALID_JPEG;
  }
}

[[noreturn]] void ExitWithError(j_common_ptr cinfo) {
  auto* manager = reinterpret_cast<JpegErrorManager*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, manager->text);
  if (manager->code == IJL_OK) manager->code = ResultOfError(cinfo->err->msg_code);
  std::longjmp(manager->jump, 1);
}

// Warnings after which the decoder would go on with made-up (grey) data.
bool LosesData(int messageCode) {
  return messageCode == JWRN_JPEG_EOF || messageCode == JWRN_HIT_MARKER ||
         messageCode == JWRN_HUFF_BAD_CODE || messageCode == JWRN_MUST_RESYNC;
}

void EmitMessage(j_common_ptr cinfo, int level) {
  if (level >= 0) return;  // trace messages
  auto* manager = reinterpret_cast<JpegErrorManager*>(cinfo->err);
  const int messageCode = cinfo->err->msg_code;
  if (LosesData(messageCode)) {
    manager->code = messageCode == JWRN_JPEG_EOF ? IJL_TRUNCATED : IJL_INVALID_JPEG;
    ExitWithError(cinfo);
  }
  ++cinfo->err->num_warnings;  // harmless oddities (unknown JFIF revision, ...)
}

}  // namespace

jpeg_error_mgr* UseJpegErrorManager(JpegErrorManager& manager) {
  jpeg_error_mgr* library = jpeg_std_error(&manager.library);
  library->error_exit = ExitWithError;
  library->emit_message = EmitMessage;
  manager.code = IJL_OK;
  manager.text[0] = '\0';
  return library;
}

}  // namespace quellor::imaging
