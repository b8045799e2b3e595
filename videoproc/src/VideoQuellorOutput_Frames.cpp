// VideoQuellorOutput: the frame pipeline. Records move free -> in flight ->
// rendered -> shown -> free; the frame lock orders every move and the render
// position (the in-flight list's own lock is taken inside it).
#include <board/Engine.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "VideoItems.h"
#include "VideoRows.h"
#include "videoproc/DataStream.h"
#include "videoproc/VideoQuellorOutput.h"
#include "videoproc/VideoStream_Header.h"

// What a render thread renders through: the stream, its two items and their
// headers live for the whole thread, so no render allocates anything.
struct VideoQuellorOutput::RenderScratch {
  VideoStream_Header headers[2] = {};
  DataStream_Data items[2];
  DataStream stream;

  RenderScratch() {
    for (int i = 0; i < 2; ++i) {
      items[i].SetName(kVideoStreamName);
      items[i].SetNonLocalHeader(&headers[i]);
      items[i].SetHeaderSize(sizeof(VideoStream_Header));
      stream.AddStream(&items[i]);
    }
  }
};

namespace {

// The output thread's wake-up: set by a render thread that finished a frame,
// waited for (a millisecond at most) by the output thread.
void SignalFrame(std::mutex& lock, std::condition_variable& wake, bool& waiting) {
  {
    std::lock_guard<std::mutex> hold(lock);
    waiting = true;
  }
  wake.notify_one();
}

void WaitForFrame(std::mutex& lock, std::condition_variable& wake, bool& waiting) {
  std::unique_lock<std::mutex> hold(lock);
  wake.wait_for(hold, std::chrono::milliseconds(1), [&] { return waiting; });
  waiting = false;
}

// The output's length for the render thread: an input whose length fails
// (throws its error) is taken to have no end, so that the frame being set up
// is not lost with its engine buffer.
double LengthOrEndless(VideoQuellorOutput& output) {
  try {
    return output.GetPreferredLength();
  } catch (...) {
    OutputDebugStringA("VideoQuellorOutput: the input's length failed; it is played without end\n");
    return -1.0;
  }
}

}  // namespace

void VideoQuellorOutput::RunOutputThread() {
  {
    FunctionBlock hold(m_frameLock);
    m_renderPosition = m_currentTime.Get();
  }
  while (m_stop.load() == 0) {
    // Busy while frames wait; otherwise asleep until a render finishes (or
    // a millisecond passes, to see the stop flag).
    if (!OutputFrame()) WaitForFrame(m_wakeLock, m_wake, m_frameWaiting);
  }
  {
    FunctionBlock hold(m_frameLock);
    PurgeOutputBuffers();
  }
}

void VideoQuellorOutput::RunRenderThread() {
  {
    RenderScratch scratch;
    int pollUs = kEngineBufferPollUs;
    while (m_stop.load() == 0) {
      if (RenderFrame(scratch)) {
        pollUs = kEngineBufferPollUs;
        continue;
      }
      // Playing but every engine buffer is taken: the board frees one each
      // frame time, so look again soon (a millisecond's nap would cap the
      // output's pace when the clock runs faster than real time), then less
      // and less often up to each millisecond. Stopped or held: nothing to
      // do for a while.
      if (m_increment.Get() != kVideoOutputStopped && !m_abort.load()) {
        std::this_thread::sleep_for(std::chrono::microseconds(pollUs));
        pollUs = std::min(pollUs * 2, 1000);
      } else {
        Sleep(1);
      }
    }
  }
}

void VideoQuellorOutput::StartRendering() {
  FunctionBlock hold(m_frameLock);
  ++m_rendersInProgress;
}

void VideoQuellorOutput::EndRendering() {
  FunctionBlock hold(m_frameLock);
  --m_rendersInProgress;
}

VideoQuellorOutput_FrameReady* VideoQuellorOutput::GetNextBuffer() {
  FunctionBlock hold(m_frameLock);
  if (m_free == nullptr) return nullptr;
  const DWORD output = GetOutputToUse();
  BYTE* buffer = nullptr;
  DWORD bytes = 0;
  const DWORD token = RTME_GetEmptyOutputBuffer(output, &buffer, &bytes);
  if (token == 0) return nullptr;
  VideoQuellorOutput_FrameReady* frame = m_free;
  m_free = frame->next;
  frame->next = nullptr;
  frame->token = token;
  frame->buffer = buffer;
  frame->bufferSize = bytes;
  frame->output = output;
  frame->width = GetXRes();
  frame->height = GetYRes();
  frame->generation = m_generation;
  return frame;
}

// Sets the increment to the stopped value unless somebody changed it since
// it was read as `seen` (a user's new speed must not be overwritten).
void VideoQuellorOutput::StopIfStill(double seen) {
  if (m_increment.Get() == seen) m_increment.Set(kVideoOutputStopped, kVideoOutputInternal);
}

VideoQuellorOutput_FrameReady* VideoQuellorOutput::GetNextFrameToRender() {
  FunctionBlock hold(m_frameLock);
  const double t = GetFrameTime();
  const double inc = m_increment.Get();
  if (inc == kVideoOutputStopped) return nullptr;
  VideoQuellorOutput_FrameReady* frame = GetNextBuffer();
  if (frame == nullptr) return nullptr;
  const double half = inc == 0.0 ? t * 0.5 : t * inc * 0.5;
  double pos = m_renderPosition;
  frame->time0 = pos;
  frame->time1 = pos + half;
  pos += t * inc;
  if (pos < 0.0) {
    pos = 0.0;
    StopIfStill(inc);
  } else {
    // Without input, or with an endless input (a negative length), there is
    // no end to stop at.
    const double length = LengthOrEndless(*this);
    const bool hasEnd = GetConnection_In(0) != nullptr && length >= 0.0;
    if (hasEnd && length < pos) {
      if (m_loopingMode.Get() != 0 && inc == 1.0) {
        pos = 0.0;
      } else {
        pos = length;
        StopIfStill(inc);
      }
    }
  }
  m_renderPosition = pos;
  frame->duration0 = frame->duration1 = half;
  if (inc == 0.0) StopIfStill(inc);  // one still frame
  return frame;
}

bool VideoQuellorOutput::RenderFrame(RenderScratch& scratch) {
  if (m_abort.load()) return false;
  StartRendering();
  VideoQuellorOutput_FrameReady* frame = GetNextFrameToRender();
  if (frame == nullptr) {
    EndRendering();
    return false;
  }
  const std::uint32_t half = frame->bufferSize / 2;
  const double times[2] = {LoopPosition(frame->time0), LoopPosition(frame->time1)};
  const double durations[2] = {frame->duration0, frame->duration1};
  for (std::uint32_t field = 0; field < 2; ++field) {
    scratch.headers[field] = VideoStream_Header{frame->width,      frame->height, field,
                                                kVideoAspectRatio, times[field],  durations[field]};
    scratch.items[field].SetNonLocalData(frame->buffer + field * half);
    scratch.items[field].SetDataSize(half);
  }
  {
    FunctionBlock hold(m_frameLock);
    m_inFlight.AddItem(frame);
  }
  DataStream_Processor* input = GetConnection_In(0);
  bool rendered = true;
  if (input == nullptr) {
    quellor::videoproc::VideoRows().fillWords(reinterpret_cast<std::uint32_t*>(frame->buffer),
                                              kVideoUYVYBlack, frame->bufferSize / 4);
  } else {
    bool abortCopy = m_abort.load();  // the inputs' view of the abort flag
    rendered = RenderInput(*input, scratch.stream, abortCopy);
  }
  if (rendered) {
    FrameRendered(frame);
    EndRendering();
  } else {
    EndRendering();
    RTME_ReturnOutputBuffer(frame->output, frame->token, frame->bufferSize);
    frame->buffer = nullptr;
    m_countLost.fetch_add(1);
    FrameDispose(frame);
  }
  return true;
}

// A node's error (thrown as text, or anything else) loses the frame it was
// rendering; the render thread goes on, as it does for a render that fails.
bool VideoQuellorOutput::RenderInput(DataStream_Processor& input, DataStream& stream, bool& abort) {
  try {
    return input.Render(&stream, this, &abort);
  } catch (const char* text) {
    OutputDebugStringA("VideoQuellorOutput: the input's render failed: ");
    OutputDebugStringA(text != nullptr ? text : "");
    OutputDebugStringA("\n");
  } catch (...) {
    OutputDebugStringA("VideoQuellorOutput: the input's render failed\n");
  }
  return false;
}

void VideoQuellorOutput::FrameRendered(VideoQuellorOutput_FrameReady* frame) {
  FunctionBlock hold(m_frameLock);
  if (frame->generation != m_generation) {
    // A seek purged the frames while this one rendered: not to be shown.
    RTME_ReturnOutputBuffer(frame->output, frame->token, frame->bufferSize);
    frame->buffer = nullptr;
    m_countDropped.fetch_add(1);
    FrameDispose(frame);
    return;
  }
  m_countRendered.fetch_add(1);
  frame->next = m_rendered;
  m_rendered = frame;
  SignalFrame(m_wakeLock, m_wake, m_frameWaiting);
}

VideoQuellorOutput_FrameReady* VideoQuellorOutput::GetNextFrameToDisplay() {
  FunctionBlock hold(m_frameLock);
  if (m_inFlight.GetNoItems() == 0) return nullptr;
  VideoQuellorOutput_FrameReady* oldest = m_inFlight[0];
  // Frames show in the order their rendering started: a slow frame holds
  // back the ones after it.
  for (VideoQuellorOutput_FrameReady** link = &m_rendered; *link != nullptr;
       link = &(*link)->next) {
    if (*link != oldest) continue;
    *link = oldest->next;
    oldest->next = nullptr;
    m_inFlight.RemoveItemAtInOrder(0);
    return oldest;
  }
  return nullptr;
}

bool VideoQuellorOutput::OutputFrame() {
  VideoQuellorOutput_FrameReady* frame = GetNextFrameToDisplay();
  if (frame == nullptr) return false;
  RTME_ShowOutputBuffer(frame->output, frame->token, frame->bufferSize);
  frame->buffer = nullptr;
  m_currentTime.Set(frame->time0, kVideoOutputInternal);
  m_countShown.fetch_add(1);
  FrameDispose(frame);
  return true;
}

void VideoQuellorOutput::FrameDispose(VideoQuellorOutput_FrameReady* frame) {
  FunctionBlock hold(m_frameLock);
  for (std::uint32_t i = 0; i < m_inFlight.GetNoItems(); ++i) {
    if (m_inFlight[i] == frame) {
      m_inFlight.RemoveItemAtInOrder(i);
      break;
    }
  }
  frame->next = m_free;
  m_free = frame;
}

// Frame lock held by the callers.
void VideoQuellorOutput::PurgeOutputBuffers() {
  FunctionBlock hold(m_frameLock);
  ++m_generation;  // renders still running belong to the past now
  m_inFlight.Clear();
  while (m_rendered != nullptr) {
    VideoQuellorOutput_FrameReady* frame = m_rendered;
    m_rendered = frame->next;
    if (frame->buffer != nullptr) {
      RTME_ReturnOutputBuffer(frame->output, frame->token, frame->bufferSize);
      frame->buffer = nullptr;
      m_countDropped.fetch_add(1);
    }
    frame->next = m_free;
    m_free = frame;
  }
}

void VideoQuellorOutput::PurgeOutputBuffersExceptLast() {
  FunctionBlock hold(m_frameLock);
}
