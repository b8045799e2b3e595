// A first-in first-out queue of fields on a ring that only grows: once it has
// held as many fields as the steady state queues, pushing and popping
// allocate nothing (a std::deque frees and allocates a chunk every few
// fields, which the output's frame-by-frame rendering must not pay).
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

namespace quellor::board {

template <typename Field>
class FieldQueue {
 public:
  bool empty() const { return count_ == 0; }
  std::size_t size() const { return count_; }

  Field& front() { return slots_[head_]; }
  const Field& front() const { return slots_[head_]; }

  void push_back(Field field) {
    if (count_ == slots_.size()) Grow();
    slots_[(head_ + count_) % slots_.size()] = std::move(field);
    ++count_;
  }

  // The slot gives up what it holds (a field keeps its buffer alive).
  void pop_front() {
    slots_[head_] = Field{};
    head_ = (head_ + 1) % slots_.size();
    --count_;
  }

  void clear() {
    while (!empty()) pop_front();
  }

 private:
  void Grow() {
    std::vector<Field> larger(slots_.empty() ? 8 : slots_.size() * 2);
    for (std::size_t i = 0; i < count_; ++i)
      larger[i] = std::move(slots_[(head_ + i) % slots_.size()]);
    slots_ = std::move(larger);
    head_ = 0;
  }

  std::vector<Field> slots_;
  std::size_t head_ = 0;
  std::size_t count_ = 0;
};

}  // namespace quellor::board
