// Exports with one shared body each: the interfaces that need no work to
// close, release calls for format records that live in the plug-in (they are
// never freed by the host), and the audio calls of a plug-in without audio.
#include "rtvbridge/AvFileExports.h"

namespace {

AVFILE_Result Succeeds(void*, void*) {
  return 1;
}
AVFILE_Result Refuses(void*, void*) {
  return 0;
}

}  // namespace

#define QUELLOR_AVFILE_FIXED(name, body) \
  AVFILE_Result name(void* a, void* b) { \
    return body(a, b);                   \
  }

QUELLOR_AVFILE_FIXED(AVFILE_CloseInterfaceReading, Succeeds)
QUELLOR_AVFILE_FIXED(AVFILE_CloseInterfaceRecording, Succeeds)
QUELLOR_AVFILE_FIXED(AVFILE_CloseInterfaceWriting, Succeeds)
QUELLOR_AVFILE_FIXED(AVFILE_EnablePassThrough, Succeeds)
QUELLOR_AVFILE_FIXED(AVFILE_QueueRecording, Succeeds)
QUELLOR_AVFILE_FIXED(AVFILE_ReleaseFormatFromReadImageFrame, Succeeds)
QUELLOR_AVFILE_FIXED(AVFILE_ReleaseFormatFromSetSinkSettings, Succeeds)
QUELLOR_AVFILE_FIXED(AVFILE_ReleaseFormatFromSetWritingSettings, Succeeds)
QUELLOR_AVFILE_FIXED(AVFILE_ReleaseFormatsFromGetReadingFileInfo, Succeeds)
QUELLOR_AVFILE_FIXED(AVFILE_ReleaseFormatsFromGetRecordingInfo, Succeeds)
QUELLOR_AVFILE_FIXED(AVFILE_ReleaseFormatsFromGetSinkInfo, Succeeds)
QUELLOR_AVFILE_FIXED(AVFILE_ReleaseFormatsFromGetWritingFileInfo, Succeeds)
QUELLOR_AVFILE_FIXED(AVFILE_ReleaseFormatsFromSetRecordingSettings, Succeeds)

QUELLOR_AVFILE_FIXED(AVFILE_GetVUMeterRecording, Refuses)
QUELLOR_AVFILE_FIXED(AVFILE_GrabAudioToBuffer, Refuses)
QUELLOR_AVFILE_FIXED(AVFILE_GrabImageToBuffer, Refuses)
QUELLOR_AVFILE_FIXED(AVFILE_ReadAudioSamples, Refuses)
QUELLOR_AVFILE_FIXED(AVFILE_ReleaseFormatFromReadAudioSamples, Refuses)
QUELLOR_AVFILE_FIXED(AVFILE_WriteNextAudioSamples, Refuses)
QUELLOR_AVFILE_FIXED(AVFILE_WriteSegment, Refuses)
