// VideoQuellorOutput: the consumer at the end of a processing graph. It owns
// two outputs of the realtime media engine (one per video standard), renders
// frames ahead on a render thread by pulling its input straight into the
// engine's buffers, and hands finished frames to the engine in order on an
// output thread. The play position is three observable values: the current
// time, the frame increment (speed, with a still and a stopped value) and
// the looping mode.
#pragma once

#include <quellor/Export.h>

#include <qlxrapi/Dynamic.h>
#include <qlxrapi/DynamicListener.h>
#include <qlxrapi/Thread.h>
#include <qlxrapi/VariableBlock.h>
#include <qlxrapi/tList.h>
#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>

#include "DataStream_Processor.h"

// One frame: both fields in one engine buffer (field 0 in the first half).
struct VideoQuellorOutput_FrameReady {
  double time0 = 0.0;      // seconds, field 0
  double duration0 = 0.0;  // seconds
  double time1 = 0.0;
  double duration1 = 0.0;
  std::uint32_t width = 0;   // 720
  std::uint32_t height = 0;  // lines a field: 240 or 288
  std::uint32_t token = 0;   // the engine's, handed back with the buffer
  BYTE* buffer = nullptr;    // null when the record holds no buffer
  std::uint32_t bufferSize = 0;
  DWORD output = 0;  // the engine output the buffer came from
  VideoQuellorOutput_FrameReady* next = nullptr;
  // The purge count when the frame was started: a render that outlives a
  // seek finds its frame stale and gives the buffer back instead of showing it.
  std::uint32_t generation = 0;
};

// The increment's stopped value: the smallest positive double.
inline constexpr double kVideoOutputStopped = 2.2250738585072014e-308;
// The name of the output's own changes of its values.
inline constexpr const char kVideoOutputInternal[] = "Internal : VideoQuellorOutput::OutputFrame";

class QUELLOR_EXPORT VideoQuellorOutput : public Thread,
                                          public DataStream_Processor,
                                          public DynamicListener {
 public:
  // Creates the two engine outputs. Throws "Could not create the QLXR output
  // pin." (a char*) when the engine refuses an output.
  //
  // The output and render threads call this object's virtual operations, so
  // they never start here: a class derived from this one (the registered
  // class is one) is not complete until its own constructor has run. They
  // start in PluginClass_Constructed, which the registered class calls as
  // soon as it is made; an output made directly starts them the first time a
  // host takes one of its play values, connects it or sets its standard.
  VideoQuellorOutput();
  // Stops the threads (frames rendered but not shown go back to the engine)
  // and releases the engine outputs. Safe while playing.
  ~VideoQuellorOutput() override;

  // Starts the output and render threads and waits until they have begun
  // (the first frame, a still one, follows at once). Does nothing when they
  // run or have been stopped. Throws "Could not start the output threads."
  // when fewer than two start; nothing is left running then.
  void PluginClass_Constructed();
  // Stops the threads for good, before any part of the object goes; frames
  // rendered but not shown go back to the engine. A class derived from this
  // one calls it first in its destructor (the registered class does).
  void PluginClass_Destroying() noexcept;

  Dynamic<double>* GetCurrentTimeFrame() {
    EnsureThreads();
    return &m_currentTime;
  }
  Dynamic<double>* GetFrameIncrement() {
    EnsureThreads();
    return &m_increment;
  }
  Dynamic<int>* GetLoopingMode() {
    EnsureThreads();
    return &m_loopingMode;
  }
  // Frames a second: 30000/1001 with the standard flag at 1, else 25.
  double GetFrameRate();

  const char* DataStream_StreamsIn(unsigned long index) override;  // 0: "Input"
  const char* DataStream_StreamsOut() override;                    // null
  DataStream_Processor* GetConnection_In(unsigned long index) override;
  // Index 0 only; a node that would close a cycle is refused (false).
  bool SetConnection_In(DataStream_Processor* node, unsigned long index) override;
  // The input's length; 0.0 without input.
  double GetPreferredLength() override;

  void DynamicCallback(long id, const char* name, void* args) override;
  void ThreadEntryPoint() override;

  // The standard: 1 NTSC (720 x 240 a field, 1001/30000 s a frame), 0 PAL
  // (720 x 288, 0.04 s). Changing it drops the frames not yet shown.
  void SetStandardFlag(int ntsc);
  int GetStandardFlag() const { return m_standard.load(); }
  // The time of the next frame to render, seconds.
  double GetRenderPosition();

  struct Counters {
    std::uint64_t rendered = 0;  // frames whose input rendered them
    std::uint64_t shown = 0;     // frames handed to the engine for display
    std::uint64_t lost = 0;      // frames the input failed (buffer given back)
    std::uint64_t dropped = 0;   // rendered frames a seek or stop gave back
  };
  Counters GetCounters() const;

  // Waits of the Part's own polling loops are bounded by this (ms).
  static constexpr DWORD kWaitLimitMs = 5000;
  // How soon a render thread that is playing first asks the engine again
  // for a buffer when all are taken (microseconds); it waits twice as long
  // each time after, up to a millisecond.
  static constexpr int kEngineBufferPollUs = 100;

 private:
  struct RenderScratch;

  // The threads' life: idle (not started yet), running, ended (for good).
  enum ThreadState : int { kThreadsIdle, kThreadsRunning, kThreadsEnded };
  // The start made on first use; a failure is traced and tried again at the
  // next use.
  void EnsureThreads() {
    if (m_threadState.load(std::memory_order_acquire) == kThreadsIdle) StartThreadsOnFirstUse();
  }
  void StartThreadsOnFirstUse();
  // Stops the threads started (m_threadsStarted): waits until each has begun,
  // sets the stop flag and waits until each has left the object.
  void EndThreads();

  void ConnectToRTMEEngine();
  void DisconnectFromRTMEEngine();
  DWORD GetOutputToUse();
  std::uint32_t GetXRes() const { return 720; }
  std::uint32_t GetYRes() const { return m_standard.load() != 0 ? 240 : 288; }
  double GetFrameTime() const { return (m_standard.load() != 0 ? 1001 : 1200) * (1.0 / 30000.0); }
  VideoQuellorOutput_FrameReady* GetNextBuffer();
  VideoQuellorOutput_FrameReady* GetNextFrameToRender();
  void StopIfStill(double seen);
  bool RenderFrame(RenderScratch& scratch);  // false when nothing was rendered
  bool RenderInput(DataStream_Processor& input, DataStream& stream, bool& abort);
  void FrameRendered(VideoQuellorOutput_FrameReady* frame);
  VideoQuellorOutput_FrameReady* GetNextFrameToDisplay();
  bool OutputFrame();  // false when nothing was shown
  void FrameDispose(VideoQuellorOutput_FrameReady* frame);
  void PurgeOutputBuffers();
  void PurgeOutputBuffersExceptLast();
  void StartRendering();
  void EndRendering();
  double LoopPosition(double time) { return time; }
  // Sets the abort flag and waits (bounded) until no render is in progress.
  void HoldRendering();
  void RunOutputThread();
  void RunRenderThread();
  void Seek();
  void FreeRecords(VideoQuellorOutput_FrameReady*& head);

  std::mutex m_threadsLock;  // orders starting and stopping the threads
  std::atomic<int> m_threadState{kThreadsIdle};
  std::uint32_t m_threadsStarted = 0;  // under m_threadsLock
  Variable_Block m_connectionLock;     // the input and the engine outputs
  std::uint32_t m_renderThreadSetting = 1;
  std::atomic<long> m_threadsBegun{0};    // threads of this start that have begun
  std::atomic<long> m_runningThreads{0};  // threads still in the object
  std::atomic<int> m_stop{0};
  DataStream_Processor* m_input = nullptr;
  Dynamic<int> m_loopingMode;
  std::atomic<int> m_standard{1};
  DWORD m_output0 = 0;  // PAL
  DWORD m_output1 = 0;  // NTSC
  std::uint32_t m_rendersInProgress = 0;
  std::atomic<bool> m_abort{false};
  Variable_Block m_frameLock;  // lists, render position, renders in progress
  double m_renderPosition = 0.0;
  tListExpandOnly<VideoQuellorOutput_FrameReady*> m_inFlight;
  VideoQuellorOutput_FrameReady* m_free = nullptr;
  VideoQuellorOutput_FrameReady* m_rendered = nullptr;
  Dynamic<double> m_currentTime;
  Dynamic<double> m_increment;
  std::uint32_t m_generation = 0;  // purges so far
  std::mutex m_wakeLock;           // guards m_frameWaiting only
  std::condition_variable m_wake;
  bool m_frameWaiting = false;
  std::atomic<std::uint64_t> m_countRendered{0}, m_countShown{0}, m_countLost{0}, m_countDropped{0};
};
