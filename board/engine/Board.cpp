// The engine's objects: instances, switcher clients, controls, probes and
// outputs.
#include "Board.h"

#include <cstdlib>
#include <cstring>

#include "BoardFolder.h"

namespace quellor::board {

std::shared_ptr<AlignedBlock> AlignedBlock::Make(size_t bytes, size_t alignment) {
  const size_t rounded = (bytes + alignment - 1) / alignment * alignment;
  void* data = std::aligned_alloc(alignment, rounded);
  if (!data) return nullptr;
  return std::shared_ptr<AlignedBlock>(new AlignedBlock(static_cast<BYTE*>(data), bytes));
}

AlignedBlock::~AlignedBlock() {
  std::free(data_);
}

Board& Board::Instance() {
  // Never destroyed: programs may call in from their own static clean-up.
  // The clock thread is stopped at exit so that it never runs a callback
  // into a program that is being torn down.
  static Board* board = [] {
    Board* created = new Board();
    std::atexit([] { Instance().StopClock(); });
    return created;
  }();
  return *board;
}

Board::Board() : scratchField_(kPalFieldBytes) {
  OpenFolder();
}

void Board::OpenFolder() {
  folder_ = ResolveBoardFolder();
  const char* presence = std::getenv("QUELLOR_BOARD");
  boardPresent_ = !(presence && std::strcmp(presence, "none") == 0);
  shared_ = std::make_unique<SharedBoardState>();
  controls_ = std::make_unique<ControlStore>(folder_);
  inputStore_ = std::make_unique<InputSettingStore>(folder_);
  if (EnsureBoardFolder(folder_)) shared_->Open(folder_);
  RefreshInput(true);
}

std::string Board::folder() {
  std::lock_guard lock(mutex_);
  return folder_;
}

DWORD Board::NewHandle() {
  if (++nextHandle_ == 0) nextHandle_ = 0x1000;  // 0 is never a handle
  return nextHandle_;
}

std::unique_ptr<NamedObjectLock> Board::ClaimName(const char* name, const char* kind) {
  if (!shared_->IsOpen()) return nullptr;  // no board folder: no named objects
  return NamedObjectLock::Acquire(folder_, name, kind);
}

bool Board::OnDeliveryThread() const {
  return deliveryThread_.load() == std::this_thread::get_id();
}

// ---- instances and switcher clients -------------------------------------------

DWORD Board::OpenEngine() {
  DWORD instance;
  {
    std::lock_guard lock(mutex_);
    instance = NewHandle();
    const DWORD context = NewHandle();
    instances_[instance] = context;
    contexts_[context] = instance;
  }
  StartClockIfNeeded();
  return instance;
}

BOOL Board::CloseEngine(DWORD instance) {
  std::lock_guard lock(mutex_);
  const auto found = instances_.find(instance);
  if (found == instances_.end()) return FALSE;
  contexts_.erase(found->second);
  instances_.erase(found);
  return TRUE;
}

DWORD Board::GetMediaContext(DWORD instance) {
  std::lock_guard lock(mutex_);
  const auto found = instances_.find(instance);
  return found == instances_.end() ? 0 : found->second;
}

DWORD Board::OpenSwitcherClient(const char* name) {
  DWORD client;
  {
    std::lock_guard lock(mutex_);
    if (!boardPresent_) return 0;
    auto claimed = ClaimName(name, "switcher");
    if (!claimed) return 0;
    client = NewHandle();
    switchers_[client] = std::move(claimed);
  }
  StartClockIfNeeded();
  return client;
}

BOOL Board::CloseSwitcherClient(DWORD client) {
  std::lock_guard lock(mutex_);
  return switchers_.erase(client) ? TRUE : FALSE;
}

BOOL Board::SwitcherCommand(DWORD client, DWORD command) {
  std::lock_guard lock(mutex_);
  if (!switchers_.count(client)) return FALSE;
  if (command != kRtmeCommandShowLiveInput) return FALSE;
  shared_->ShowLiveInput();
  return TRUE;
}

DWORD Board::GetFieldTimeStamp(DWORD client) {
  {
    std::lock_guard lock(mutex_);
    if (!switchers_.count(client)) return 0;
  }
  return CurrentField();
}

BOOL Board::SetControl(DWORD client, ControlSide side, const char* name, DWORD typeCode,
                       const DWORD* value) {
  std::lock_guard lock(mutex_);
  if (!switchers_.count(client) || !value) return FALSE;
  return controls_->Set(side, name, typeCode, static_cast<std::int32_t>(*value)) ? TRUE : FALSE;
}

BOOL Board::GetControl(DWORD client, const char* name, DWORD typeCode, void* value,
                       DWORD valueBytes) {
  std::lock_guard lock(mutex_);
  if (!switchers_.count(client) || !value || valueBytes < sizeof(std::int32_t)) return FALSE;
  std::int32_t current = 0;
  if (!controls_->Get(name, typeCode, current)) return FALSE;
  std::memcpy(value, &current, sizeof current);
  return TRUE;
}

// ---- probes -----------------------------------------------------------------------

DWORD Board::CreateProbe(DWORD mediaContext, const char* name) {
  std::lock_guard lock(mutex_);
  if (!contexts_.count(mediaContext)) return 0;
  auto claimed = ClaimName(name, "probe");
  if (!claimed) return 0;
  auto probe = std::make_shared<Probe>();
  for (auto& buffer : probe->buffers) {
    buffer.pixels = AlignedBlock::Make(kPalFieldBytes, kHarmonexBufferAlignment);
    if (!buffer.pixels) return 0;
  }
  probe->name = std::move(claimed);
  probe->handle = NewHandle();
  probe->owner = NewHandle();
  probes_[probe->handle] = probe;
  owners_[probe->owner] = probe->handle;
  return probe->handle;
}

void Board::WaitForProbeCallbacks(std::unique_lock<std::mutex>& lock,
                                  const std::shared_ptr<Probe>& probe) {
  // A callback that detaches or destroys its own probe must not wait for
  // itself; the delivery loop skips the probe's remaining callbacks instead.
  if (OnDeliveryThread()) return;
  callbacksDone_.wait(lock, [&] { return probe->callbacksInFlight == 0; });
}

BOOL Board::DestroyProbe(DWORD handle) {
  std::unique_lock lock(mutex_);
  const auto found = probes_.find(handle);
  if (found == probes_.end()) return FALSE;
  const std::shared_ptr<Probe> probe = found->second;
  probes_.erase(found);
  owners_.erase(probe->owner);
  probe->destroyed = true;
  probe->pin = ProbePin::None;
  WaitForProbeCallbacks(lock, probe);
  probe->name.reset();
  return TRUE;
}

DWORD Board::GetProbeBufferOwner(DWORD handle) {
  std::lock_guard lock(mutex_);
  const auto found = probes_.find(handle);
  return found == probes_.end() ? 0 : found->second->owner;
}

BOOL Board::AttachProbe(DWORD handle, const char* pinName) {
  std::unique_lock lock(mutex_);
  const auto found = probes_.find(handle);
  if (found == probes_.end()) return FALSE;
  const std::shared_ptr<Probe> probe = found->second;
  if (!pinName) {
    if (probe->pin == ProbePin::None) return FALSE;
    probe->pin = ProbePin::None;
    WaitForProbeCallbacks(lock, probe);
    return TRUE;
  }
  if (std::strcmp(pinName, RTME_PIN_INPUT) == 0) {
    probe->pin = ProbePin::Input;
  } else if (std::strcmp(pinName, RTME_PIN_OUTPUT_MONITOR) == 0) {
    probe->pin = ProbePin::Monitor;
  } else {
    return FALSE;
  }
  lock.unlock();
  StartClockIfNeeded();
  return TRUE;
}

BOOL Board::SetProbeCallback(DWORD handle, void* context, RTME_ProbeCallback callback) {
  std::lock_guard lock(mutex_);
  const auto found = probes_.find(handle);
  if (found == probes_.end() || !callback) return FALSE;
  found->second->context = context;
  found->second->callback = callback;
  return TRUE;
}

DWORD Board::ReleaseField(DWORD owner, DWORD token) {
  std::lock_guard lock(mutex_);
  const auto owned = owners_.find(owner);
  if (owned == owners_.end() || token == 0) return 0;
  const auto found = probes_.find(owned->second);
  if (found == probes_.end()) return 0;
  for (auto& buffer : found->second->buffers) {
    if (buffer.held && buffer.info.bufferToken == token) {
      buffer.held = false;
      return 1;
    }
  }
  return 0;  // unknown or already released
}

// ---- outputs ----------------------------------------------------------------------

DWORD Board::CreateOutput(const char* name, DWORD palFlag) {
  DWORD handle;
  {
    std::lock_guard lock(mutex_);
    if (palFlag > 1) return 0;
    auto claimed = ClaimName(name, "output");
    if (!claimed) return 0;
    auto output = std::make_shared<Output>();
    output->standard = palFlag ? kFieldStandardPal : kFieldStandardNtsc;
    for (auto& frame : output->frames) {
      frame.block =
          AlignedBlock::Make(2 * BoardFieldBytes(output->standard), kHarmonexBufferAlignment);
      if (!frame.block) return 0;
    }
    output->name = std::move(claimed);
    output->handle = handle = NewHandle();
    outputs_[handle] = output;
  }
  StartClockIfNeeded();
  return handle;
}

BOOL Board::ReleaseOutput(DWORD handle) {
  std::lock_guard lock(mutex_);
  return outputs_.erase(handle) ? TRUE : FALSE;
}

DWORD Board::GetEmptyOutputBuffer(DWORD handle, BYTE** address, DWORD* bytes) {
  std::lock_guard lock(mutex_);
  const auto found = outputs_.find(handle);
  if (found == outputs_.end() || !address || !bytes) return 0;
  for (auto& frame : found->second->frames) {
    if (frame.state != FrameState::Free) continue;
    frame.state = FrameState::Lent;
    frame.token = NewHandle();
    *address = frame.block->data();
    *bytes = static_cast<DWORD>(frame.block->bytes());
    return frame.token;
  }
  return 0;
}

BOOL Board::ShowOutputBuffer(DWORD handle, DWORD token, DWORD bytes) {
  std::lock_guard lock(mutex_);
  const auto found = outputs_.find(handle);
  if (found == outputs_.end() || token == 0) return FALSE;
  Output& output = *found->second;
  for (auto& frame : output.frames) {
    if (frame.token != token || frame.state != FrameState::Lent) continue;
    if (bytes == 0 || bytes > frame.block->bytes()) return FALSE;
    frame.state = FrameState::Queued;
    const DWORD fieldBytes = BoardFieldBytes(output.standard);
    const std::uint32_t earliest = CurrentFieldLocked() + 1;
    for (DWORD parity = 0; parity < 2; ++parity) {
      QueuedField field;
      field.sequence = nextSequence_++;
      field.block = frame.block;
      field.pixels = frame.block->data() + parity * fieldBytes;
      field.standard = output.standard;
      field.parity = parity;
      field.frameToken = token;
      field.earliestField = earliest;
      output.queue.push_back(field);
    }
    return TRUE;
  }
  return FALSE;
}

BOOL Board::ReturnOutputBuffer(DWORD handle, DWORD token, DWORD bytes) {
  std::lock_guard lock(mutex_);
  const auto found = outputs_.find(handle);
  if (found == outputs_.end() || token == 0) return FALSE;
  for (auto& frame : found->second->frames) {
    if (frame.token != token || frame.state != FrameState::Lent) continue;
    if (bytes > frame.block->bytes()) return FALSE;
    frame.state = FrameState::Free;
    frame.token = 0;
    return TRUE;
  }
  return FALSE;
}

std::vector<testing::OutputFrameCounts> Board::OutputFrames() {
  std::lock_guard lock(mutex_);
  std::vector<testing::OutputFrameCounts> counts;
  counts.reserve(outputs_.size());
  for (const auto& [handle, output] : outputs_) {
    testing::OutputFrameCounts entry;
    entry.output = handle;
    for (const auto& frame : output->frames) {
      switch (frame.state) {
        case FrameState::Free:
          ++entry.free;
          break;
        case FrameState::Lent:
          ++entry.lent;
          break;
        case FrameState::Queued:
          ++entry.queued;
          break;
      }
    }
    counts.push_back(entry);
  }
  return counts;
}

}  // namespace quellor::board
