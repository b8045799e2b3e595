#include "SharedBoardState.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <sched.h>
#include <cstring>
#include <ctime>

#include "board/FieldRecords.h"

namespace quellor::board {

struct SharedBoardState::Header {
  std::uint32_t magic;
  std::uint32_t sequence;          // odd while a writer is copying a field
  std::uint32_t outputShowsFrame;  // 0: the live input
  std::uint32_t standard;          // of the shown frame
  std::uint32_t lastShownField;
  std::int32_t writerProcess;
  std::uint64_t overruns;
  std::uint64_t repeatedFields;  // zero in files of earlier boards too
};

namespace {
constexpr std::uint32_t kMagic = 0x51425354;  // "QBST"
constexpr size_t kHeaderBytes = 4096;         // keeps the frame page-aligned
constexpr size_t kFileBytes = kHeaderBytes + kPalFrameBytes;

template <typename T>
std::atomic_ref<T> Shared(T& word) {
  return std::atomic_ref<T>(word);
}

// flock() for the span of one write, so that two processes never interleave.
class WriterLock {
 public:
  // A writer holds the lock for one field copy; after a second the holder
  // is stuck (a stopped process) and the write is given up, not the caller.
  explicit WriterLock(int fd) : fd_(fd) {
    const timespec pause{0, 1000000L};
    for (int waited_ms = 0; waited_ms < 1000; ++waited_ms) {
      if (flock(fd_, LOCK_EX | LOCK_NB) == 0) {
        held_ = true;
        return;
      }
      if (errno == EINTR) continue;
      if (errno != EWOULDBLOCK) return;
      nanosleep(&pause, nullptr);
    }
  }
  ~WriterLock() {
    if (held_) flock(fd_, LOCK_UN);
  }
  bool held() const { return held_; }

 private:
  int fd_;
  bool held_ = false;
};
}  // namespace

SharedBoardState::~SharedBoardState() {
  if (header_) munmap(header_, mappedBytes_);
  if (fd_ >= 0) close(fd_);
}

bool SharedBoardState::Open(const std::string& folder) {
  std::lock_guard lock(mutex_);
  if (header_) return true;
  // Without blocking: a FIFO under the name would wait for a writer forever.
  fd_ = open((folder + "/board.state").c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0600);
  if (fd_ < 0) return false;
  struct stat info;
  if (fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode) ||
      (static_cast<size_t>(info.st_size) < kFileBytes && ftruncate(fd_, kFileBytes) != 0)) {
    close(fd_);
    fd_ = -1;
    return false;
  }
  void* mapped = mmap(nullptr, kFileBytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd_, 0);
  if (mapped == MAP_FAILED) {
    close(fd_);
    fd_ = -1;
    return false;
  }
  mappedBytes_ = kFileBytes;
  header_ = static_cast<Header*>(mapped);
  frame_ = static_cast<BYTE*>(mapped) + kHeaderBytes;
  WriterLock writer(fd_);
  if (writer.held() && Shared(header_->magic).load() != kMagic) {
    std::memset(header_, 0, sizeof(Header));
    Shared(header_->magic).store(kMagic);
  }
  return true;
}

void SharedBoardState::WriteShownField(DWORD standard, DWORD parity, const BYTE* pixels,
                                       DWORD timeStamp) {
  const DWORD fieldBytes = BoardFieldBytes(standard);
  if (fieldBytes == 0 || parity > 1) return;
  std::lock_guard lock(mutex_);
  if (!header_) return;
  WriterLock writer(fd_);
  if (!writer.held()) return;
  Shared(header_->sequence).fetch_add(1, std::memory_order_acq_rel);
  std::memcpy(frame_ + parity * fieldBytes, pixels, fieldBytes);
  Shared(header_->standard).store(standard, std::memory_order_relaxed);
  Shared(header_->lastShownField).store(timeStamp, std::memory_order_relaxed);
  Shared(header_->writerProcess).store(getpid(), std::memory_order_relaxed);
  Shared(header_->outputShowsFrame).store(1, std::memory_order_relaxed);
  Shared(header_->sequence).fetch_add(1, std::memory_order_release);
}

void SharedBoardState::ShowLiveInput() {
  std::lock_guard lock(mutex_);
  if (!header_) return;
  WriterLock writer(fd_);
  if (!writer.held()) return;
  Shared(header_->sequence).fetch_add(1, std::memory_order_acq_rel);
  Shared(header_->outputShowsFrame).store(0, std::memory_order_relaxed);
  Shared(header_->sequence).fetch_add(1, std::memory_order_release);
}

template <typename Copy>
bool SharedBoardState::ReadConsistent(Copy copy) const {
  // A writer holds the sequence odd for one field copy (well under a
  // millisecond); after a few overlapping attempts take what is there.
  for (int attempt = 0; attempt < 64; ++attempt) {
    const std::uint32_t before = Shared(header_->sequence).load(std::memory_order_acquire);
    if (before & 1u) {
      sched_yield();
      continue;
    }
    const bool result = copy();
    std::atomic_thread_fence(std::memory_order_acquire);
    if (Shared(header_->sequence).load(std::memory_order_relaxed) == before) return result;
  }
  return copy();
}

bool SharedBoardState::ReadShownField(DWORD parity, BYTE* fieldPixels, DWORD& standard) const {
  std::lock_guard lock(mutex_);
  if (!header_ || parity > 1) return false;
  return ReadConsistent([&] {
    if (Shared(header_->outputShowsFrame).load(std::memory_order_relaxed) == 0) return false;
    standard = Shared(header_->standard).load(std::memory_order_relaxed);
    const DWORD fieldBytes = BoardFieldBytes(standard);
    if (fieldBytes == 0) return false;
    std::memcpy(fieldPixels, frame_ + parity * fieldBytes, fieldBytes);
    return true;
  });
}

bool SharedBoardState::ReadShownFrame(DWORD& standard,
                                      std::vector<std::uint8_t>& framePixels) const {
  std::lock_guard lock(mutex_);
  if (!header_) return false;
  return ReadConsistent([&] {
    if (Shared(header_->outputShowsFrame).load(std::memory_order_relaxed) == 0) return false;
    standard = Shared(header_->standard).load(std::memory_order_relaxed);
    const DWORD fieldBytes = BoardFieldBytes(standard);
    if (fieldBytes == 0) return false;
    framePixels.assign(frame_, frame_ + 2 * fieldBytes);
    return true;
  });
}

DWORD SharedBoardState::LastShownField() const {
  std::lock_guard lock(mutex_);
  return header_ ? Shared(header_->lastShownField).load(std::memory_order_relaxed) : 0;
}

bool SharedBoardState::OutputShowsFrame() const {
  std::lock_guard lock(mutex_);
  return header_ && Shared(header_->outputShowsFrame).load(std::memory_order_relaxed) != 0;
}

void SharedBoardState::AddOverruns(std::uint64_t count) {
  std::lock_guard lock(mutex_);
  if (header_) Shared(header_->overruns).fetch_add(count, std::memory_order_relaxed);
}

void SharedBoardState::AddRepeatedFields(std::uint64_t count) {
  std::lock_guard lock(mutex_);
  if (header_) Shared(header_->repeatedFields).fetch_add(count, std::memory_order_relaxed);
}

std::uint64_t SharedBoardState::RepeatedFields() const {
  std::lock_guard lock(mutex_);
  return header_ ? Shared(header_->repeatedFields).load(std::memory_order_relaxed) : 0;
}

std::uint64_t SharedBoardState::Overruns() const {
  std::lock_guard lock(mutex_);
  return header_ ? Shared(header_->overruns).load(std::memory_order_relaxed) : 0;
}

}  // namespace quellor::board
