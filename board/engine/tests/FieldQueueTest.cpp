// The output queues' ring: first in, first out across the ring's end and
// through its growth, and a popped slot lets go of the buffer its field held.
#include <gtest/gtest.h>

#include <memory>

#include "../FieldQueue.h"

namespace {

struct Field {
  int number = 0;
  std::shared_ptr<int> buffer;
};

TEST(FieldQueue, FirstInFirstOutAcrossTheRingsEndAndItsGrowth) {
  quellor::board::FieldQueue<Field> queue;
  EXPECT_TRUE(queue.empty());
  int pushed = 0, popped = 0;
  // Rounds that leave the head in every place of the ring before it grows.
  for (int round = 0; round < 40; ++round) {
    const int add = round % 7 + 1, take = round % 5 + 1;
    for (int i = 0; i < add; ++i) queue.push_back(Field{pushed++, nullptr});
    for (int i = 0; i < take && !queue.empty(); ++i) {
      ASSERT_EQ(queue.front().number, popped++) << round;
      queue.pop_front();
    }
    ASSERT_EQ(queue.size(), static_cast<std::size_t>(pushed - popped));
  }
  while (!queue.empty()) {
    ASSERT_EQ(queue.front().number, popped++);
    queue.pop_front();
  }
  EXPECT_EQ(popped, pushed);
}

TEST(FieldQueue, PoppingAndClearingLetGoOfTheBuffers) {
  quellor::board::FieldQueue<Field> queue;
  auto buffer = std::make_shared<int>(7);
  for (int i = 0; i < 12; ++i) queue.push_back(Field{i, buffer});
  EXPECT_EQ(buffer.use_count(), 13);
  queue.pop_front();
  EXPECT_EQ(buffer.use_count(), 12);
  queue.clear();
  EXPECT_TRUE(queue.empty());
  EXPECT_EQ(buffer.use_count(), 1);
  queue.push_back(Field{99, buffer});  // usable again after a clear
  EXPECT_EQ(queue.front().number, 99);
}

}  // namespace
