// The output hub: the program's connection to the board's output. Creating it
// makes the named producer "<name>.vidout" and routes it through the spider
// "<name>.spider" to the output pin; because the producer name is exclusive
// on the board, a second copy of the program fails here.
//
// The picture lists, frame buffers and converter thread of the display path
// are added on top of this connection.
#pragma once

#include <string>

#include "board/Support.h"

namespace quellor::clipviewer {

class OutputHub {
 public:
  // Raises the creation texts ("Cannot initialise the realtime engine.", the
  // producer's single-copy message, "Could not create spider", "Could not
  // create spider connection. Sorry !"); whatever was made is released first.
  OutputHub(int pictureCount, bool ntsc, const char* name, long pinNumber);
  // Releases in the board's order, with 100 ms pauses between the steps.
  ~OutputHub();
  OutputHub(const OutputHub&) = delete;
  OutputHub& operator=(const OutputHub&) = delete;

  bool IsNtsc() const { return ntsc_; }
  int Height() const { return ntsc_ ? 480 : 576; }
  const std::string& ProducerName() const { return producerName_; }

 private:
  void Release();
  static void CompletionCallback(DWORD producer, DWORD fieldAddress, void* context);

  bool ntsc_;
  int pictureCount_;
  std::string producerName_;
  std::string spiderName_;
  DWORD engine_ = 0;
  DWORD mediaContext_ = 0;
  DWORD producer_ = 0;
  DWORD spider_ = 0;
  bool routing_ = false;
  Harmonex_FormatRecord format_ = {};
  Harmonex_ProducerDescriptor producerDescriptor_ = {};
  Harmonex_SpiderDescriptor spiderDescriptor_ = {};
};

}  // namespace quellor::clipviewer
