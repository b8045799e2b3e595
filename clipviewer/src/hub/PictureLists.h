// The hub's free and ready lists of pictures, linked through the pictures
// themselves (nothing is allocated to move a picture), under one lock.
// The main thread takes free pictures and submits ready ones; the hub's
// thread takes ready ones and gives them back at the head of the free list.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "display/PictureBuffer.h"

namespace quellor::clipviewer {

class PictureLists {
 public:
  PictureLists() = default;
  PictureLists(const PictureLists&) = delete;
  PictureLists& operator=(const PictureLists&) = delete;

  // Null when the list is empty.
  PictureBuffer* TakeFree();
  PictureBuffer* TakeReady();
  // The same, waiting up to `wait` for a picture to arrive (null after it).
  PictureBuffer* TakeFree(std::chrono::milliseconds wait);
  PictureBuffer* TakeReady(std::chrono::milliseconds wait);
  void PutFreeAtHead(PictureBuffer* picture);
  void PutFreeAtTail(PictureBuffer* picture);
  void PutReadyAtTail(PictureBuffer* picture);
  int FreeCount() const;
  int ReadyCount() const;
  // Unlinks every picture of both lists and hands each to `dispose`.
  template <class Dispose>
  void DrainAll(Dispose dispose) {
    std::lock_guard lock(mutex_);
    for (List* list : {&ready_, &free_}) {
      while (PictureBuffer* picture = list->head) {
        list->head = picture->next;
        picture->next = nullptr;
        dispose(picture);
      }
      list->tail = nullptr;
    }
  }

 private:
  struct List {
    PictureBuffer* head = nullptr;
    PictureBuffer* tail = nullptr;
  };
  static PictureBuffer* TakeHead(List& list);
  static void PutTail(List& list, PictureBuffer* picture);
  static int Count(const List& list);

  mutable std::mutex mutex_;
  std::condition_variable freeArrived_;
  std::condition_variable readyArrived_;
  List free_;
  List ready_;
};

}  // namespace quellor::clipviewer
