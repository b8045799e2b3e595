#include "recorder/RecordingWriter.h"

#include "cliplib/clip/ClipWriter.h"
#include "widgets/Thread.h"

namespace quellor::clipviewer::recorder {

class RecordingWriter::Thread : public widgets::Thread {
 public:
  explicit Thread(RecordingWriter& writer) : writer_(writer) {}
  ~Thread() override {
    RequestStop();
    Join();
  }
  void RequestStop() { stopRequest_.store(true); }

 protected:
  void Run() override {
    for (;;) {
      if (writer_.hold_.load() && !stopRequest_.load()) {
        Sleep(1);
        continue;
      }
      if (writer_.WriteOneFrame()) continue;
      if (stopRequest_.load()) return;  // and nothing is left to write
      Sleep(1);
    }
  }

 private:
  RecordingWriter& writer_;
  std::atomic<bool> stopRequest_{false};
};

RecordingWriter::RecordingWriter(FrameRing& ring, std::atomic<unsigned>& drops, WriterEvents events)
    : ring_(ring), drops_(drops), events_(std::move(events)) {}

RecordingWriter::~RecordingWriter() {
  Finish();
}

bool RecordingWriter::Start(const std::string& hostPath) {
  hostPath_ = hostPath;
  thread_ = std::make_unique<Thread>(*this);
  thread_->SetPriority(THREAD_PRIORITY_TIME_CRITICAL);
  return thread_->Start();
}

void RecordingWriter::Finish() {
  thread_.reset();  // asks it to stop and waits until it has ended
}

// After a failed write the file's position is no longer a frame boundary,
// so later frames are dropped rather than appended at the wrong place: the
// clip keeps every frame written before the failure.
bool RecordingWriter::WriteOneFrame() {
  writing_.fetch_add(1);
  const int index = ring_.TakeFull();
  if (index == kNoBuffer) {
    writing_.fetch_sub(1);
    return false;
  }
  const unsigned written = framesWritten_.load();
  if (failed_.load()) {
    drops_.fetch_add(1);
  } else if (written < frameLimit_) {
    const void* frame = ring_.Buffer(index);
    const bool ok = written == 0 ? clip::ClipWriter::WriteFrame(hostPath_.c_str(), frame)
                                 : clip::ClipWriter::AppendFrame(hostPath_.c_str(), frame);
    if (ok) {
      framesWritten_.fetch_add(1);
      if (events_.frameWritten) events_.frameWritten();
    } else {
      failed_.store(true);
      drops_.fetch_add(1);
      if (events_.mustStop) events_.mustStop();
    }
  } else {
    drops_.fetch_add(1);
    if (events_.mustStop) events_.mustStop();
  }
  ring_.PutFree(index);
  writing_.fetch_sub(1);
  return true;
}

void RecordingWriter::WaitUntilWritten() const {
  while (ring_.FullCount() != 0 || writing_.load() != 0) Sleep(1);
}

}  // namespace quellor::clipviewer::recorder
