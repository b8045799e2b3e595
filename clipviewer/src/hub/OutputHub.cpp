#include "hub/OutputHub.h"

#include <cstdio>

#include "app/Pause.h"
#include "app/ViewerError.h"
#include "board/Engine.h"

namespace quellor::clipviewer {
namespace {

constexpr const char* kCannotInitialiseEngine = "Cannot initialise the realtime engine.";
constexpr const char* kCannotCreateProducer =
    "I could not create the hub media producer.\nThis might be because you have another copy of "
    "this application running, you may only have one copy running at any one time.";
constexpr const char* kCannotCreateSpider = "Could not create spider";
constexpr const char* kCannotConnectSpider = "Could not create spider connection. Sorry !";

// The producer's notifications carry nothing the hub needs.
void IgnoreNotification(DWORD, DWORD, void*) {}

// "%s.vidout" and "%s.spider" of the hub name.
std::string ProducerNameOf(const char* name) {
  return std::string(name) + ".vidout";
}
std::string SpiderNameOf(const char* name) {
  return std::string(name) + ".spider";
}

}  // namespace

OutputHub::OutputHub(int pictureCount, bool ntsc, const char* name, long pinNumber)
    : ntsc_(ntsc),
      pictureCount_(pictureCount),
      producerName_(ProducerNameOf(name)),
      spiderName_(SpiderNameOf(name)) {
  try {
    engine_ = RTME_OpenEngine();
    if (engine_ == 0) Raise(kCannotInitialiseEngine);
    mediaContext_ = RTME_GetMediaContext(engine_);

    format_.recordBytes = sizeof format_;
    producerDescriptor_ = {kHarmonexProducerDescriptorBytes,
                           &format_,
                           IgnoreNotification,
                           IgnoreNotification,
                           CompletionCallback,
                           0};
    producer_ = Harmonex_CreateProducer(mediaContext_, producerName_.c_str(), &producerDescriptor_);
    if (producer_ == 0) Raise(kCannotCreateProducer);

    spiderDescriptor_ = {kHarmonexSpiderDescriptorBytes, &format_};
    spider_ = Harmonex_CreateSpider(mediaContext_, spiderName_.c_str(), &spiderDescriptor_);
    if (spider_ == 0) Raise(kCannotCreateSpider);

    char pin[64];
    std::snprintf(pin, sizeof pin, "media.pins.quellor.vout%ld.in", pinNumber);
    if (!Harmonex_ConnectSpider(spider_, producerName_.c_str(), pin, 0))
      Raise(kCannotConnectSpider);
    routing_ = Harmonex_StartSpider(spider_) != FALSE;
    Pause(100);
  } catch (...) {
    // The caller never sees a half-made hub, so nothing may stay on the board.
    Release();
    throw;
  }
  std::string note = "clipviewer: output hub " + producerName_ + " routed to the output (" +
                     (ntsc_ ? "NTSC" : "PAL") + ")\n";
  OutputDebugStringA(note.c_str());
}

OutputHub::~OutputHub() {
  Pause(100);
  Release();
}

void OutputHub::Release() {
  if (spider_ != 0) {
    if (routing_) Harmonex_StopSpider(spider_);
    Pause(100);
    Pause(100);  // the frame buffers go here once the display path owns them
    Harmonex_DestroySpider(spider_);
    spider_ = 0;
    Pause(100);
  }
  if (producer_ != 0) {
    Harmonex_DestroyProducer(producer_);
    producer_ = 0;
    Pause(100);
  }
  if (engine_ != 0) {
    RTME_CloseEngine(engine_);
    engine_ = 0;
    Pause(100);
  }
  routing_ = false;
}

void OutputHub::CompletionCallback(DWORD, DWORD, void*) {}

}  // namespace quellor::clipviewer
