#include "play/PictureFile.h"

#include <memory>

#include "imaging/JpegLibrary.h"
#include "windows.h"

namespace quellor::clipviewer {
namespace {

void NoteFailure(const std::string& path, const char* why) {
  const std::string note = "clipviewer: picture \"" + path + "\" not loaded: " + why + "\n";
  OutputDebugStringA(note.c_str());
}

// Ends the library's use of the record on every path.
class JpegRecord {
 public:
  JpegRecord() : result_(ijlInit(&props_)) {}
  ~JpegRecord() { ijlFree(&props_); }
  JpegRecord(const JpegRecord&) = delete;
  JpegRecord& operator=(const JpegRecord&) = delete;
  bool Initialised() const { return result_ == IJL_OK; }
  JPEG_CORE_PROPERTIES& Props() { return props_; }

 private:
  JPEG_CORE_PROPERTIES props_ = {};
  IJLERR result_;
};

}  // namespace

bool LoadPictureFile(const std::string& path, LoadedPicture& loaded) {
  JpegRecord record;
  if (!record.Initialised()) {
    NoteFailure(path, "the JPEG library could not start");
    return false;
  }
  JPEG_CORE_PROPERTIES& props = record.Props();
  props.JPGFile = path.c_str();
  if (ijlRead(&props, IJL_JFILE_READPARAMS) != IJL_OK) {
    NoteFailure(path, props.ErrorText);
    return false;
  }
  if (props.JPGChannels != 1 && props.JPGChannels != 3) {
    NoteFailure(path, "only grey and colour (1 or 3 component) JPEG files are shown");
    return false;
  }
  std::unique_ptr<PictureBuffer> picture;
  try {
    picture = std::make_unique<PictureBuffer>(props.JPGWidth, props.JPGHeight);
  } catch (const char* text) {
    NoteFailure(path, text);
    return false;
  }
  // The library writes blue, green, red, alpha itself; the padding columns
  // at the end of each row are left as they are (black).
  props.DIBBytes = picture->Bits();
  props.DIBWidth = props.JPGWidth;
  props.DIBHeight = props.JPGHeight;
  props.DIBPadBytes = (picture->Width() - props.JPGWidth) * 4;
  props.DIBChannels = 4;
  props.DIBColor = IJL_BGRA;
  props.JPGColor = props.JPGChannels == 3 ? IJL_YCBCR : IJL_G;
  if (ijlRead(&props, IJL_JFILE_READWHOLEIMAGE) != IJL_OK) {
    NoteFailure(path, props.ErrorText);
    return false;
  }
  loaded.picture = std::move(picture);
  loaded.width = props.JPGWidth;
  loaded.height = props.JPGHeight;
  return true;
}

}  // namespace quellor::clipviewer
