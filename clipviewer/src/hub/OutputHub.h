// The output hub: the program's connection to the board's output. Creating it
// makes the named producer "<name>.vidout" and routes it through the spider
// "<name>.spider" to the output pin; because the producer name is exclusive
// on the board, a second copy of the program fails here.
//
// Pictures (720 x frame height, BGRA) go round between the main thread and
// the hub's converter thread: the main thread takes a free one, renders and
// submits it; the converter turns it into one YCbCr 4:2:2 frame in frame
// buffer A or B (alternating), gives the picture back and queues the frame's
// two fields on the producer. A frame waits until the board has shown the
// one before it, so at most two are in flight: one queued, one converted.
// Nothing is allocated per frame.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "board/Support.h"
#include "display/PictureBuffer.h"
#include "hub/FrameBuffer.h"
#include "hub/PictureLists.h"

namespace quellor::clipviewer {

class OutputHub {
 public:
  // Throws the creation texts as plain text ("Cannot initialise the realtime
  // engine.", the producer's single-copy message, "Could not create spider",
  // "Could not create spider connection. Sorry !", "Could not allocate the
  // aligned buffer", a picture's texts); whatever was made is released first.
  OutputHub(int pictureCount, bool ntsc, const char* name, long pinNumber);
  // Releases in the board's order, with 100 ms pauses between the steps.
  ~OutputHub();
  OutputHub(const OutputHub&) = delete;
  OutputHub& operator=(const OutputHub&) = delete;

  bool IsNtsc() const { return ntsc_; }
  int Width() const { return kWidth; }
  int Height() const { return height_; }
  const std::string& ProducerName() const { return producerName_; }

  // The first free picture; waits while there is none, at most the free
  // picture wait, and then gives nullptr: the converter keeps the pictures
  // while the board shows none of its frames (its output stopped, or the
  // route to it failed), and the window thread must not wait for ever.
  PictureBuffer* TakeFreePicture();
  void SetFreePictureWait(std::chrono::milliseconds wait) { freePictureWait_ = wait; }
  static constexpr std::chrono::milliseconds kFreePictureWait{2000};  // 50 PAL frames
  // Hands a picture (taken with TakeFreePicture) to the converter.
  void Submit(PictureBuffer* picture);

  // What tests and benchmarks watch.
  unsigned FramesQueued() const { return framesQueued_.load(); }
  int FreeCount() const { return lists_.FreeCount(); }
  int ReadyCount() const { return lists_.ReadyCount(); }
  const FrameBuffer& Frame(int index) const { return frames_[index]; }

  static constexpr int kWidth = 720;
  static constexpr int kLineBytes = 1440;  // YCbCr 4:2:2

 private:
  void Create(long pinNumber);
  void Release();
  static DWORD WINAPI WorkerEntry(LPVOID self);
  void RunWorker();
  void ConvertPicture(const PictureBuffer& picture, FrameBuffer& frame) const;
  bool WaitForPreviousFrame();
  void QueueFrame(const FrameBuffer& frame);
  static void CompletionCallback(DWORD producer, DWORD fieldAddress, void* context);

  // Geometry.
  bool ntsc_;
  int height_;
  DWORD frameBytes_;
  int pictureCount_;

  std::string producerName_;
  std::string spiderName_;
  DWORD engine_ = 0;
  DWORD mediaContext_ = 0;
  DWORD producer_ = 0;
  DWORD spider_ = 0;
  bool routing_ = false;
  Harmonex_FormatRecord format_ = {};
  Harmonex_ProducerDescriptor producerDescriptor_ = {};
  Harmonex_SpiderDescriptor spiderDescriptor_ = {};

  FrameBuffer frames_[2];  // A and B
  int lastFrame_ = 0;      // the buffer used last; B (1) goes first

  std::vector<std::unique_ptr<PictureBuffer>> pictures_;
  PictureLists lists_;
  std::chrono::milliseconds freePictureWait_ = kFreePictureWait;

  std::atomic<bool> stop_{false};
  std::atomic<bool> running_{false};
  HANDLE worker_ = nullptr;
  DWORD workerId_ = 0;

  // Completion: toggled by the support library's thread for each frame shown.
  std::mutex doneLock_;
  std::condition_variable doneChanged_;
  bool done_ = false;
  bool expected_ = false;       // converter thread only
  bool firstFrame_ = true;      // converter thread only
  bool frameInFlight_ = false;  // converter thread only
  std::atomic<unsigned> framesQueued_{0};
};

}  // namespace quellor::clipviewer
