// VideoQuellorOutput: construction, the engine outputs, the threads'
// lifetime, connections and the reactions to the play values.
#include "videoproc/VideoQuellorOutput.h"

#include <board/Engine.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "videoproc/GraphConnections.h"

namespace {

constexpr int kFrameRecords = 50;
const char kNoOutputPin[] = "Could not create the QLXR output pin.";
const char kNoThreads[] = "Could not start the output threads.";

// "Apps.Velloran.Output." and the performance counter in decimal; `after`
// keeps a second name distinct when the counter has not moved.
std::string OutputName(unsigned long long& last) {
  LARGE_INTEGER counter{};
  QueryPerformanceCounter(&counter);
  unsigned long long value = static_cast<unsigned long long>(counter.QuadPart);
  if (value <= last) value = last + 1;
  last = value;
  return "Apps.Velloran.Output." + std::to_string(value);
}

}  // namespace

VideoQuellorOutput::VideoQuellorOutput() {
  m_loopingMode.Set(0, "Changed");
  m_currentTime.Set(0.0, "Changed");
  m_increment.Set(0.0, "Changed");
  for (int i = 0; i < kFrameRecords; ++i) {
    auto* record = new VideoQuellorOutput_FrameReady;
    record->next = m_free;
    m_free = record;
    m_inFlight.AddItem(record);
  }
  // The in-flight list keeps its room for every record from now on, so
  // rendering never grows it.
  m_inFlight.Clear();
  try {
    ConnectToRTMEEngine();
  } catch (...) {
    FreeRecords(m_free);
    throw;
  }
  m_currentTime.AddDependant(this, 0);
  m_increment.AddDependant(this, 1);
}

VideoQuellorOutput::~VideoQuellorOutput() {
  // No notice may reach a half-destroyed output.
  RemoveAllDependantsToThis();
  PluginClass_Destroying();  // a direct owner's output: its threads end here
  DisconnectFromRTMEEngine();
  FreeRecords(m_free);
  FreeRecords(m_rendered);
}

void VideoQuellorOutput::PluginClass_Constructed() {
  std::lock_guard<std::mutex> hold(m_threadsLock);
  if (m_threadState.load() != kThreadsIdle) return;
  const std::uint32_t threads = m_renderThreadSetting + 1;  // one output thread, the rest render
  m_threadsStarted = 0;
  m_threadsBegun = 0;
  for (std::uint32_t i = 0; i < threads; ++i) m_threadsStarted += StartThread() ? 1 : 0;
  if (m_threadsStarted < 2) {  // no output thread, or no render thread
    EndThreads();
    m_stop = 0;  // a later start may succeed
    throw kNoThreads;
  }
  // Every thread has begun before the start returns, so a stop that follows
  // cannot miss one still on its way into the object. Until the first has
  // begun none can be told apart as the output thread either.
  while (m_threadsBegun.load() != static_cast<long>(m_threadsStarted)) Sleep(1);
  m_threadState.store(kThreadsRunning, std::memory_order_release);
}

void VideoQuellorOutput::PluginClass_Destroying() noexcept {
  std::lock_guard<std::mutex> hold(m_threadsLock);
  if (m_threadState.exchange(kThreadsEnded) != kThreadsRunning) return;
  EndThreads();
}

void VideoQuellorOutput::EndThreads() {
  // The threads use the whole object: these waits cannot give up. The first
  // ends as soon as every thread has begun, the second as soon as the render
  // in progress returns (the output thread gives back its rendered buffers
  // on its way out).
  while (m_threadsBegun.load() != static_cast<long>(m_threadsStarted)) Sleep(1);
  m_stop = 1;
  while (m_runningThreads.load() != 0) Sleep(1);
  m_threadsStarted = 0;
  PurgeOutputBuffers();  // a frame the render thread finished after the output thread left
}

void VideoQuellorOutput::StartThreadsOnFirstUse() {
  try {
    PluginClass_Constructed();
  } catch (const char* text) {
    OutputDebugStringA(text);
    OutputDebugStringA("\n");
  }
}

void VideoQuellorOutput::FreeRecords(VideoQuellorOutput_FrameReady*& head) {
  while (head != nullptr) {
    VideoQuellorOutput_FrameReady* next = head->next;
    delete head;
    head = next;
  }
}

void VideoQuellorOutput::ConnectToRTMEEngine() {
  FunctionBlock hold(m_connectionLock);
  if (m_output0 != 0 || m_output1 != 0) DisconnectFromRTMEEngine();
  unsigned long long last = 0;
  m_output0 = RTME_CreateOutput(OutputName(last).c_str(), 0, 0, 1);
  if (m_output0 == 0) throw kNoOutputPin;
  // The second name comes from a fresh counter reading (kept distinct), so
  // no pause is needed between the two outputs.
  m_output1 = RTME_CreateOutput(OutputName(last).c_str(), 0, 0, 0);
  if (m_output1 == 0) {
    RTME_ReleaseOutput(m_output0);
    m_output0 = 0;
    throw kNoOutputPin;
  }
}

void VideoQuellorOutput::DisconnectFromRTMEEngine() {
  FunctionBlock hold(m_connectionLock);
  if (m_output1 != 0) RTME_ReleaseOutput(m_output1);
  m_output1 = 0;
  if (m_output0 != 0) RTME_ReleaseOutput(m_output0);
  m_output0 = 0;
}

DWORD VideoQuellorOutput::GetOutputToUse() {
  FunctionBlock hold(m_connectionLock);
  return m_standard.load() != 0 ? m_output1 : m_output0;
}

double VideoQuellorOutput::GetFrameRate() {
  return 1.0 / GetFrameTime();
}

const char* VideoQuellorOutput::DataStream_StreamsIn(unsigned long index) {
  return index == 0 ? "Input" : nullptr;
}

const char* VideoQuellorOutput::DataStream_StreamsOut() {
  return nullptr;
}

DataStream_Processor* VideoQuellorOutput::GetConnection_In(unsigned long index) {
  FunctionBlock hold(m_connectionLock);
  return index == 0 ? m_input : nullptr;
}

bool VideoQuellorOutput::SetConnection_In(DataStream_Processor* node, unsigned long index) {
  if (index != 0) return false;
  EnsureThreads();
  if (DataStream_ReachesNode(node, this)) return false;
  FunctionBlock hold(m_connectionLock);
  m_input = node;
  return true;
}

double VideoQuellorOutput::GetPreferredLength() {
  DataStream_Processor* input = GetConnection_In(0);
  return input != nullptr ? input->GetPreferredLength() : 0.0;
}

void VideoQuellorOutput::DynamicCallback(long id, const char* name, void*) {
  if (name == nullptr) return;
  if (std::strcmp(name, "DynamicTalker::Delete") == 0) return;
  if (std::strncmp(name, "BaseWindowClass::", 17) == 0) return;
  if (std::strcmp(name, kVideoOutputInternal) == 0) return;  // the output's own changes
  if (id == 0) {
    Seek();
  } else if (id == 1) {
    PurgeOutputBuffersExceptLast();  // queued frames still show; the new speed follows
  }
}

void VideoQuellorOutput::HoldRendering() {
  m_abort = true;
  for (DWORD waited = 0; waited < kWaitLimitMs; ++waited) {
    {
      FunctionBlock hold(m_frameLock);
      if (m_rendersInProgress == 0) return;
    }
    Sleep(1);
  }
  // A render that does not return in time is left running; its frame is
  // stale once the purge that follows has counted, and is given back then.
  OutputDebugStringA("VideoQuellorOutput: a render did not end in time; its frame is dropped\n");
}

void VideoQuellorOutput::Seek() {
  HoldRendering();
  {
    FunctionBlock hold(m_frameLock);
    m_renderPosition = m_currentTime.Get();
    PurgeOutputBuffers();
  }
  m_abort = false;
  // Stopped: show one still frame of the new position.
  if (m_increment.Get() == kVideoOutputStopped) m_increment.Set(0.0, kVideoOutputInternal);
}

void VideoQuellorOutput::SetStandardFlag(int ntsc) {
  EnsureThreads();
  const int flag = ntsc != 0 ? 1 : 0;
  if (m_standard.load() == flag) return;
  HoldRendering();
  {
    FunctionBlock hold(m_frameLock);
    PurgeOutputBuffers();
    m_standard = flag;
  }
  m_abort = false;
}

double VideoQuellorOutput::GetRenderPosition() {
  FunctionBlock hold(m_frameLock);
  return m_renderPosition;
}

VideoQuellorOutput::Counters VideoQuellorOutput::GetCounters() const {
  Counters counters;
  counters.rendered = m_countRendered.load();
  counters.shown = m_countShown.load();
  counters.lost = m_countLost.load();
  counters.dropped = m_countDropped.load();
  return counters;
}

void VideoQuellorOutput::ThreadEntryPoint() {
  // The stop waits for the count to reach 0, so a thread leaves it however it
  // ends: an error thrown out of its loop ends the thread, never the stop.
  struct LeaveCount {
    std::atomic<long>& count;
    ~LeaveCount() { count.fetch_sub(1); }
  };
  m_runningThreads.fetch_add(1);
  LeaveCount leave{m_runningThreads};
  // The thread that begins first shows frames; every other renders.
  const bool output = m_threadsBegun.fetch_add(1) == 0;
  if (output) {
    RunOutputThread();
  } else {
    RunRenderThread();
  }
}
