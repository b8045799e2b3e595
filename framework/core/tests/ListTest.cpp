// tList, tListExpandOnly and lList.
#include <atomic>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include <qlxrapi/lList.h>
#include <qlxrapi/tList.h>

namespace {

std::vector<char> Contents(const tList<char>& list) {
  std::vector<char> items;
  for (std::uint32_t i = 0; i < list.GetNoItems(); ++i) items.push_back(list[i]);
  return items;
}

TEST(tList, RemovingMovesTheLastElementIntoThePlace) {
  tList<char> list;
  for (char c : {'a', 'b', 'c'}) list.AddItem(c);
  EXPECT_TRUE(list.RemoveItemAt(0));
  EXPECT_EQ(Contents(list), (std::vector<char>{'c', 'b'}));
  EXPECT_TRUE(list.RemoveItemAt(1));  // the last one: nothing moves
  EXPECT_EQ(Contents(list), (std::vector<char>{'c'}));
}

TEST(tList, RemovingInOrderMovesTheLaterElementsDown) {
  tList<char> list;
  for (char c : {'a', 'b', 'c', 'd'}) list.AddItem(c);
  EXPECT_TRUE(list.RemoveItemAtInOrder(1));
  EXPECT_EQ(Contents(list), (std::vector<char>{'a', 'c', 'd'}));
}

TEST(tList, RemovingAValueRemovesTheFirstEqualOne) {
  tList<char> list;
  for (char c : {'x', 'y', 'x', 'z'}) list.AddItem(c);
  EXPECT_TRUE(list.RemoveItem('x'));
  EXPECT_EQ(Contents(list), (std::vector<char>{'z', 'y', 'x'}));
  EXPECT_FALSE(list.RemoveItem('q'));
  EXPECT_EQ(list.GetNoItems(), 3u);
}

TEST(tList, BadIndicesChangeNothing) {
  tList<char> list;
  EXPECT_FALSE(list.RemoveItemAt(0));
  list.AddItem('a');
  EXPECT_FALSE(list.RemoveItemAt(1));
  EXPECT_FALSE(list.RemoveItemAtInOrder(7));
  EXPECT_EQ(list.GetItem(5), '\0');
  EXPECT_EQ(Contents(list), (std::vector<char>{'a'}));
}

TEST(tList, EmptyingFreesTheArray) {
  tList<int> list;
  list.AddItem(1);
  list.AddItem(2);
  list.Clear();
  EXPECT_EQ(list.GetNoItems(), 0u);
  EXPECT_EQ(list.GetItems(), nullptr);
  list.AddItem(3);
  list.RemoveItemAt(0);
  EXPECT_EQ(list.GetItems(), nullptr);
}

TEST(tList, AppendingAnElementOfTheListItselfIsSafe) {
  tList<long> list;
  list.AddItem(41);
  for (int i = 0; i < 64; ++i) list.AddItem(list[0]);  // the array moves under the reference
  EXPECT_EQ(list.GetNoItems(), 65u);
  EXPECT_EQ(list[64], 41);
}

TEST(tListExpandOnly, KeepsItsLargestArray) {
  tListExpandOnly<int> list;
  for (int i = 0; i < 8; ++i) list.AddItem(i);
  int* array = list.GetItems();
  EXPECT_EQ(list.GetCapacity(), 8u);
  while (list.GetNoItems() > 2) list.RemoveItemAt(0);
  EXPECT_EQ(list.GetItems(), array);
  EXPECT_EQ(list.GetCapacity(), 8u);
  list.Clear();
  EXPECT_EQ(list.GetItems(), array);
  list.AddItem(5);
  EXPECT_EQ(list.GetItems(), array);
  EXPECT_EQ(list[0], 5);
}

TEST(tList, ConcurrentChangesLoseNothing) {
  tList<int> list;
  std::vector<std::thread> threads;
  for (int n = 0; n < 4; ++n) {
    threads.emplace_back([&, n] {
      for (int k = 0; k < 500; ++k) list.AddItem(n * 1000 + k);
      for (int k = 0; k < 250; ++k) EXPECT_TRUE(list.RemoveItem(n * 1000 + k));
    });
  }
  for (auto& thread : threads) thread.join();
  ASSERT_EQ(list.GetNoItems(), 4u * 250u);
  long sum = 0;
  for (std::uint32_t i = 0; i < list.GetNoItems(); ++i) sum += list[i] % 1000;
  EXPECT_EQ(sum, 4L * (250 + 499) * 250 / 2);
}

TEST(tList, TheLockIsRecursiveAndHoldsOtherThreadsOff) {
  tList<int> list;
  list.Lock();
  list.AddItem(1);  // takes the lock again on this thread
  std::atomic<bool> added{false};
  std::thread other([&] {
    list.AddItem(2);
    added = true;
  });
  for (int i = 0; i < 1000; ++i) std::this_thread::yield();
  EXPECT_FALSE(added);
  list.UnLock();
  other.join();
  EXPECT_EQ(list.GetNoItems(), 2u);
}

TEST(lList, InsertedNodesAreFoundAlongTheChain) {
  lList first, second, third;
  EXPECT_TRUE(third.InsertAfter(&first));
  EXPECT_TRUE(second.InsertBefore(&third));
  EXPECT_EQ(first.GetNoItems(), 3u);
  EXPECT_EQ(first.GetItem(1), &second);
  EXPECT_EQ(first.GetItem(2), &third);
  EXPECT_EQ(third.FirstItem(), &first);
  EXPECT_EQ(first.LastItem(), &third);
  EXPECT_EQ(second.GetNoItems(), 2u);
}

TEST(lList, RemovingLinksTheNeighboursAndLeavesTheNodeAlone) {
  lList first, second, third;
  second.InsertAfter(&first);
  third.InsertAfter(&second);
  second.RemoveFromList();
  EXPECT_EQ(first.GetNext(), &third);
  EXPECT_EQ(third.GetPrev(), &first);
  EXPECT_EQ(second.GetNoItems(), 1u);
  // Removing it again, after its old place was filled, breaks nothing.
  lList filler;
  filler.InsertAfter(&first);
  second.RemoveFromList();
  EXPECT_EQ(first.GetNoItems(), 3u);
  EXPECT_EQ(first.GetItem(1), &filler);
}

TEST(lList, MovingANodeUnlinksItFromItsOldPlace) {
  lList a, b, c;
  b.InsertAfter(&a);
  c.InsertAfter(&b);
  a.InsertAfter(&c);  // a -> end
  EXPECT_EQ(b.FirstItem(), &b);
  EXPECT_EQ(b.GetNoItems(), 3u);
  EXPECT_EQ(b.LastItem(), &a);
  EXPECT_FALSE(a.InsertAfter(nullptr));
  EXPECT_FALSE(a.InsertBefore(&a));
  EXPECT_EQ(b.GetNoItems(), 2u);
}

TEST(lList, ADestroyedNodeLeavesTheChain) {
  lList first, last;
  {
    lList middle;
    middle.InsertAfter(&first);
    last.InsertAfter(&middle);
  }
  EXPECT_EQ(first.GetNext(), &last);
  EXPECT_EQ(last.GetPrev(), &first);
}

}  // namespace
