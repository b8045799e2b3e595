#include "hub/OutputHub.h"

#include <chrono>
#include <cstdio>

#include "app/Pause.h"
#include "board/ColourConversion.h"
#include "display/DisplayTexts.h"
#include "hub/HubBoardCalls.h"

namespace quellor::clipviewer {
namespace {

using std::chrono::milliseconds;

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
      height_(ntsc ? 480 : 576),
      frameBytes_(ntsc ? kNtscFrameBytes : kPalFrameBytes),
      pictureCount_(pictureCount < 1 ? 1 : pictureCount),
      producerName_(ProducerNameOf(name)),
      spiderName_(SpiderNameOf(name)) {
  try {
    Create(pinNumber);
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

void OutputHub::Create(long pinNumber) {
  const HubBoardCalls& board = HubBoard();
  engine_ = board.openEngine();
  if (engine_ == 0) throw kCannotInitialiseEngine;
  mediaContext_ = board.mediaContext(engine_);

  format_ = {};
  format_.recordBytes = sizeof format_;
  producerDescriptor_ = {kHarmonexProducerDescriptorBytes,
                         &format_,
                         IgnoreNotification,
                         IgnoreNotification,
                         CompletionCallback,
                         0};
  producer_ = board.createProducer(mediaContext_, producerName_.c_str(), &producerDescriptor_);
  if (producer_ == 0) throw kCannotCreateProducer;

  spiderDescriptor_ = {kHarmonexSpiderDescriptorBytes, &format_};
  spider_ = board.createSpider(mediaContext_, spiderName_.c_str(), &spiderDescriptor_);
  if (spider_ == 0) throw kCannotCreateSpider;

  char pin[64];
  std::snprintf(pin, sizeof pin, "media.pins.quellor.vout%ld.in", pinNumber);
  if (!board.connectSpider(spider_, producerName_.c_str(), pin, 0)) throw kCannotConnectSpider;
  routing_ = board.startSpider(spider_) != FALSE;
  Pause(100);

  frames_[0].Allocate(format_.allocator, frameBytes_, ntsc_);
  frames_[1].Allocate(format_.allocator, frameBytes_, ntsc_);

  stop_ = false;
  for (int i = 0; i < pictureCount_; ++i) {
    pictures_.push_back(std::make_unique<PictureBuffer>(kWidth, height_));
    lists_.PutFreeAtTail(pictures_.back().get());
  }

  running_ = true;
  worker_ = CreateThread(nullptr, 0, WorkerEntry, this, 0, &workerId_);
  if (worker_ == nullptr) {
    running_ = false;
    throw kCannotInitialiseEngine;
  }
}

void OutputHub::Release() {
  const HubBoardCalls& board = HubBoard();
  stop_ = true;
  if (worker_ != nullptr) {
    // The converter looks at the stop flag at least every millisecond.
    while (running_) WaitForSingleObject(worker_, 10);
    CloseHandle(worker_);
    worker_ = nullptr;
  }
  if (spider_ != 0 && routing_) {
    board.stopSpider(spider_);
    Pause(100);
  }
  routing_ = false;
  if (frames_[0].engineAddress != 0 || frames_[1].engineAddress != 0) {
    frames_[0].Free(format_.allocator);
    frames_[1].Free(format_.allocator);
    Pause(100);
  }
  if (spider_ != 0) {
    board.destroySpider(spider_);
    spider_ = 0;
    Pause(100);
  }
  if (producer_ != 0) {
    board.destroyProducer(producer_);
    producer_ = 0;
    Pause(100);
  }
  if (engine_ != 0) {
    board.closeEngine(engine_);
    engine_ = 0;
    Pause(100);
  }
  lists_.DrainAll([](PictureBuffer*) {});
  pictures_.clear();
}

PictureBuffer* OutputHub::TakeFreePicture() {
  const auto deadline = std::chrono::steady_clock::now() + freePictureWait_;
  do {
    if (PictureBuffer* picture = lists_.TakeFree(milliseconds(1))) return picture;
  } while (std::chrono::steady_clock::now() < deadline);
  OutputDebugStringA("clipviewer: no free picture: the board has not shown the hub's frames\n");
  return nullptr;
}

void OutputHub::Submit(PictureBuffer* picture) {
  if (picture != nullptr) lists_.PutReadyAtTail(picture);
}

DWORD WINAPI OutputHub::WorkerEntry(LPVOID self) {
  static_cast<OutputHub*>(self)->RunWorker();
  return 0;
}

void OutputHub::RunWorker() {
  while (!stop_) {
    PictureBuffer* picture = lists_.TakeReady(milliseconds(1));
    if (picture == nullptr) continue;
    lastFrame_ ^= 1;  // A and B alternate, B first
    FrameBuffer& frame = frames_[lastFrame_];
    ConvertPicture(*picture, frame);
    lists_.PutFreeAtHead(picture);
    if (!WaitForPreviousFrame()) break;
    QueueFrame(frame);
  }
  running_ = false;
}

// Even picture lines make field 0 (the first half of the frame buffer), odd
// lines field 1.
void OutputHub::ConvertPicture(const PictureBuffer& picture, FrameBuffer& frame) const {
  const int fieldLines = height_ / 2;
  BYTE* line = frame.pixels;
  for (int field = 0; field < 2; ++field) {
    for (int y = field; y < 2 * fieldLines; y += 2) {
      encode_bgra_ycbcr8(line, picture.Row(y), kWidth);
      line += kLineBytes;
    }
  }
}

// False when the hub is stopping while it waits.
bool OutputHub::WaitForPreviousFrame() {
  if (!frameInFlight_) return true;  // the first frame, or the last one never went out
  std::unique_lock lock(doneLock_);
  while (done_ != expected_) {
    if (stop_) return false;
    doneChanged_.wait_for(lock, milliseconds(1));
  }
  return true;
}

void OutputHub::QueueFrame(const FrameBuffer& frame) {
  const HubBoardCalls& board = HubBoard();
  // Only a frame whose second field was taken will ever be completed; a frame
  // the board refused must not hold up the next one.
  frameInFlight_ = board.queueField(producer_, &frame.fields[0], nullptr) &&
                   board.queueField(producer_, &frame.fields[1], this);
  if (frameInFlight_) expected_ = !expected_;
  framesQueued_.fetch_add(1);
}

void OutputHub::CompletionCallback(DWORD, DWORD, void* context) {
  auto* hub = static_cast<OutputHub*>(context);
  {
    std::lock_guard lock(hub->doneLock_);
    hub->done_ = !hub->done_;
  }
  hub->doneChanged_.notify_all();
}

}  // namespace quellor::clipviewer
