// The virtual board as one process sees it: the handle tables of the engine
// and the support library, the objects behind them, the field clock and the
// field deliveries. One instance per process (Board::Instance()); what the
// processes of a user share lives in the board folder.
//
// Locking: mutex_ guards every table and object. Callbacks into programs
// (probe callbacks, completions, notifications) run with no lock held; a
// probe or producer counts its callbacks in flight, and destroying or
// detaching it from another thread waits for them. fieldMutex_ makes field
// runs one at a time and is taken before mutex_.
#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "FieldQueue.h"
#include "ControlStore.h"
#include "InputSettingStore.h"
#include "NamedObjectLock.h"
#include "SharedBoardState.h"
#include "SignalSource.h"
#include "board/Engine.h"
#include "board/Support.h"
#include "board/testing/OutputFrames.h"

namespace quellor::board {

// Memory with a fixed alignment, shared between the program, the queues that
// still point into it and the address table.
class AlignedBlock {
 public:
  static std::shared_ptr<AlignedBlock> Make(size_t bytes, size_t alignment);
  ~AlignedBlock();
  BYTE* data() const { return data_; }
  size_t bytes() const { return bytes_; }

 private:
  AlignedBlock(BYTE* data, size_t bytes) : data_(data), bytes_(bytes) {}
  BYTE* data_;
  size_t bytes_;
};

inline constexpr size_t kProbeBufferCount = 8;  // fields a probe may hold at once
inline constexpr size_t kOutputFrameCount = 4;  // frame buffers of an output
inline constexpr size_t kMaxQueuedFields = 64;  // per producer
inline constexpr DWORD kMaxAllocationBytes = 64u << 20;

struct ProbeBuffer {
  std::shared_ptr<AlignedBlock> pixels;
  RTME_FieldInfo info{};
  bool held = false;
};

enum class ProbePin { None, Input, Monitor };

struct Probe {
  DWORD handle = 0;
  DWORD owner = 0;
  std::unique_ptr<NamedObjectLock> name;
  ProbePin pin = ProbePin::None;
  void* context = nullptr;
  RTME_ProbeCallback callback = nullptr;
  std::array<ProbeBuffer, kProbeBufferCount> buffers;
  int callbacksInFlight = 0;
  bool destroyed = false;
};

// One field waiting for the output.
struct QueuedField {
  std::uint64_t sequence = 0;  // board-wide order of queueing
  std::shared_ptr<AlignedBlock> block;
  const BYTE* pixels = nullptr;
  DWORD standard = 0;
  DWORD parity = 0;
  DWORD fieldAddress = 0;  // producer fields: engine-side address
  void* context = nullptr;
  DWORD frameToken = 0;  // output fields: the frame buffer's token
  // Output fields: the first field that may show it. A frame given during a
  // field is shown from a later one, even when the clock thread runs that
  // field late.
  std::uint32_t earliestField = 0;
};

struct Producer {
  DWORD handle = 0;
  DWORD allocator = 0;
  std::unique_ptr<NamedObjectLock> name;
  Harmonex_Notification notifyFirst = nullptr;
  Harmonex_Notification notifySecond = nullptr;
  Harmonex_Completion completion = nullptr;
  FieldQueue<QueuedField> queue;
  int callbacksInFlight = 0;
  bool destroyed = false;
};

struct Spider {
  DWORD handle = 0;
  std::unique_ptr<NamedObjectLock> name;
  std::vector<DWORD> producers;
  bool routing = false;
};

enum class FrameState { Free, Lent, Queued };

struct OutputFrame {
  std::shared_ptr<AlignedBlock> block;
  DWORD token = 0;
  FrameState state = FrameState::Free;
};

struct Output {
  DWORD handle = 0;
  std::unique_ptr<NamedObjectLock> name;
  DWORD standard = kFieldStandardNtsc;
  std::array<OutputFrame, kOutputFrameCount> frames;
  FieldQueue<QueuedField> queue;
  bool showedField = false;
  std::uint32_t lastShownField = 0;  // time stamp of its last field on the output
};

struct Allocation {
  std::shared_ptr<AlignedBlock> block;
  DWORD bytes = 0;
  DWORD allocator = 0;
};

class Board {
 public:
  static Board& Instance();

  // ---- engine (orvanertme) ----
  DWORD OpenEngine();
  BOOL CloseEngine(DWORD instance);
  DWORD GetMediaContext(DWORD instance);
  DWORD OpenSwitcherClient(const char* name);
  BOOL CloseSwitcherClient(DWORD client);
  BOOL SwitcherCommand(DWORD client, DWORD command);
  DWORD GetFieldTimeStamp(DWORD client);
  BOOL SetControl(DWORD client, ControlSide side, const char* name, DWORD typeCode,
                  const DWORD* value);
  BOOL GetControl(DWORD client, const char* name, DWORD typeCode, void* value, DWORD valueBytes);
  DWORD CreateProbe(DWORD mediaContext, const char* name);
  BOOL DestroyProbe(DWORD probe);
  DWORD GetProbeBufferOwner(DWORD probe);
  BOOL AttachProbe(DWORD probe, const char* pinName);
  BOOL SetProbeCallback(DWORD probe, void* context, RTME_ProbeCallback callback);
  DWORD CreateOutput(const char* name, DWORD palFlag);
  BOOL ReleaseOutput(DWORD output);
  DWORD GetEmptyOutputBuffer(DWORD output, BYTE** address, DWORD* bytes);
  BOOL ShowOutputBuffer(DWORD output, DWORD token, DWORD bytes);
  BOOL ReturnOutputBuffer(DWORD output, DWORD token, DWORD bytes);
  std::vector<testing::OutputFrameCounts> OutputFrames();

  // ---- support library (Harmonex) ----
  DWORD CreateProducer(DWORD mediaContext, const char* name,
                       Harmonex_ProducerDescriptor* descriptor);
  BOOL DestroyProducer(DWORD producer);
  DWORD CreateSpider(DWORD mediaContext, const char* name, Harmonex_SpiderDescriptor* descriptor);
  BOOL DestroySpider(DWORD spider);
  BOOL ConnectSpider(DWORD spider, const char* sourceName, const char* pinName);
  BOOL SetSpiderRouting(DWORD spider, bool routing);
  DWORD AllocateBuffer(DWORD allocator, DWORD bytes, BYTE** cpuAddress, DWORD alignment);
  BOOL FreeBuffer(DWORD allocator, DWORD engineAddress, DWORD bytes);
  BOOL QueueField(DWORD producer, const RTME_FieldDescriptor* field, void* context);
  DWORD ReleaseField(DWORD owner, DWORD token);

  // ---- field clock ----
  void UseManualClock(std::uint32_t currentField);
  void AdvanceFields(std::uint32_t count);
  void UseRealtimeClock();
  std::uint32_t CurrentField();
  std::uint64_t ProcessOverruns();
  void Reset();

  // ---- the board as a whole (board tool) ----
  std::string folder();
  bool ReadInputState(InputState& state);
  bool StoreInputSetting(const InputSetting& setting);
  bool RenderInputFrame(BoardFrame& frame, std::string& error);
  bool ReadShownFrame(BoardFrame& frame);
  std::uint64_t BoardOverruns();
  std::uint64_t RepeatedFields();
  DWORD LastShownField();
  bool OutputShowsFrame();

 private:
  Board();
  struct Deliveries;
  void OpenFolder();
  DWORD NewHandle();
  std::unique_ptr<NamedObjectLock> ClaimName(const char* name, const char* kind);
  std::uint32_t CurrentFieldLocked() const;  // with mutex_ held
  void StartClockIfNeeded();
  void StopClock();
  void ClockThread(std::shared_ptr<std::atomic<bool>> stop);
  void RunField(std::uint32_t field);
  void RefreshInput(bool force);
  void ShowNextOutputField(std::uint32_t field, Deliveries& deliveries);
  void DeliverInputField(std::uint32_t field, Deliveries& deliveries);
  void DeliverMonitorField(std::uint32_t field, Deliveries& deliveries);
  void RunDeliveries(Deliveries& deliveries);
  void WaitForProbeCallbacks(std::unique_lock<std::mutex>& lock,
                             const std::shared_ptr<Probe>& probe);
  void WaitForCompletions(std::unique_lock<std::mutex>& lock,
                          const std::shared_ptr<Producer>& producer);
  bool OnDeliveryThread() const;
  std::shared_ptr<Producer> FindProducerByAllocator(DWORD allocator);
  DWORD ReserveEngineAddress(DWORD bytes, DWORD alignment);
  const Allocation* FindAllocation(DWORD engineAddress, DWORD& offset) const;
  void DropProducer(const std::shared_ptr<Producer>& producer);

  std::mutex mutex_;
  std::condition_variable callbacksDone_;
  std::mutex fieldMutex_;
  std::atomic<std::thread::id> deliveryThread_{};

  std::string folder_;
  bool boardPresent_ = true;
  std::unique_ptr<SharedBoardState> shared_;
  std::unique_ptr<ControlStore> controls_;
  std::unique_ptr<InputSettingStore> inputStore_;
  InputState input_;
  SignalSource signal_;
  std::uint32_t fieldsSinceInputCheck_ = 0;

  DWORD nextHandle_ = 0x1000;
  std::uint64_t nextSequence_ = 1;
  std::unordered_map<DWORD, DWORD> instances_;  // instance -> media context
  std::unordered_map<DWORD, DWORD> contexts_;   // media context -> instance
  std::unordered_map<DWORD, std::unique_ptr<NamedObjectLock>> switchers_;
  std::unordered_map<DWORD, std::shared_ptr<Probe>> probes_;
  std::unordered_map<DWORD, DWORD> owners_;  // buffer owner -> probe
  std::unordered_map<DWORD, std::shared_ptr<Output>> outputs_;
  std::unordered_map<DWORD, std::shared_ptr<Producer>> producers_;
  std::unordered_map<DWORD, DWORD> allocators_;  // allocator -> producer
  std::unordered_map<DWORD, std::shared_ptr<Spider>> spiders_;
  std::map<DWORD, Allocation> allocations_;  // by engine-side base address
  std::vector<BYTE> scratchField_;           // one PAL field

  // Field clock: the clock thread runs fields at the field rate unless the
  // clock is manual, when only AdvanceFields runs them.
  std::mutex clockMutex_;
  std::condition_variable clockWake_;
  std::thread clockThread_;
  std::shared_ptr<std::atomic<bool>> clockStop_;  // the running clock thread's stop flag
  std::atomic<bool> manualClock_{false};
  std::atomic<std::uint32_t> currentField_{0};  // the field delivered last (manual clock)
  std::atomic<std::uint64_t> processOverruns_{0};
};

}  // namespace quellor::board
