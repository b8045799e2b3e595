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

void CheckScans(j_common_ptr common) {
  auto* limit = reinterpret_cast<JpegScanLimit*>(common->progress);
  if (limit->cinfo->input_scan_number > IJL_MAX_SCANS) {
    char text[JMSG_LENGTH_MAX];
    std::snprintf(text, sizeof text, "JPEG of more than %d scans", IJL_MAX_SCANS);
    FailJpeg(*reinterpret_cast<JpegErrorManager*>(common->err), IJL_INVALID_JPEG, text);
  }
}

}  // namespace

void FailJpeg(JpegErrorManager& manager, IJLERR code, const char* text) {
  manager.code = code;
  std::snprintf(manager.text, sizeof manager.text, "%s", text);
  std::longjmp(manager.jump, 1);
}

void UseJpegScanLimit(JpegScanLimit& limit, j_decompress_ptr cinfo) {
  limit.library = jpeg_progress_mgr{};
  limit.library.progress_monitor = CheckScans;
  limit.cinfo = cinfo;
  cinfo->progress = &limit.library;
}

jpeg_error_mgr* UseJpegErrorManager(JpegErrorManager& manager) {
  jpeg_error_mgr* library = jpeg_std_error(&manager.library);
  library->error_exit = ExitWithError;
  library->emit_message = EmitMessage;
  manager.code = IJL_OK;
  manager.text[0] = '\0';
  return library;
}

}  // namespace quellor::imaging
