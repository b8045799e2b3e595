#include "hub/PictureLists.h"

namespace quellor::clipviewer {

PictureBuffer* PictureLists::TakeHead(List& list) {
  PictureBuffer* picture = list.head;
  if (picture == nullptr) return nullptr;
  list.head = picture->next;
  if (list.head == nullptr) list.tail = nullptr;
  picture->next = nullptr;
  return picture;
}

void PictureLists::PutTail(List& list, PictureBuffer* picture) {
  picture->next = nullptr;
  if (list.tail != nullptr)
    list.tail->next = picture;
  else
    list.head = picture;
  list.tail = picture;
}

int PictureLists::Count(const List& list) {
  int count = 0;
  for (const PictureBuffer* picture = list.head; picture != nullptr; picture = picture->next)
    ++count;
  return count;
}

PictureBuffer* PictureLists::TakeFree() {
  std::lock_guard lock(mutex_);
  return TakeHead(free_);
}

PictureBuffer* PictureLists::TakeReady() {
  std::lock_guard lock(mutex_);
  return TakeHead(ready_);
}

PictureBuffer* PictureLists::TakeFree(std::chrono::milliseconds wait) {
  std::unique_lock lock(mutex_);
  freeArrived_.wait_for(lock, wait, [this] { return free_.head != nullptr; });
  return TakeHead(free_);
}

PictureBuffer* PictureLists::TakeReady(std::chrono::milliseconds wait) {
  std::unique_lock lock(mutex_);
  readyArrived_.wait_for(lock, wait, [this] { return ready_.head != nullptr; });
  return TakeHead(ready_);
}

void PictureLists::PutFreeAtHead(PictureBuffer* picture) {
  {
    std::lock_guard lock(mutex_);
    picture->next = free_.head;
    free_.head = picture;
    if (free_.tail == nullptr) free_.tail = picture;
  }
  freeArrived_.notify_one();
}

void PictureLists::PutFreeAtTail(PictureBuffer* picture) {
  {
    std::lock_guard lock(mutex_);
    PutTail(free_, picture);
  }
  freeArrived_.notify_one();
}

void PictureLists::PutReadyAtTail(PictureBuffer* picture) {
  {
    std::lock_guard lock(mutex_);
    PutTail(ready_, picture);
  }
  readyArrived_.notify_one();
}

int PictureLists::FreeCount() const {
  std::lock_guard lock(mutex_);
  return Count(free_);
}

int PictureLists::ReadyCount() const {
  std::lock_guard lock(mutex_);
  return Count(ready_);
}

}  // namespace quellor::clipviewer
