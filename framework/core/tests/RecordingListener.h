// A listener that records every notice it receives, for the tests.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include <qlxrapi/DynamicListener.h>

struct RecordedNotice {
  const void* listener;
  long id;
  std::string name;
  std::uint64_t firstWord;
};

// A log shared by several listeners, so that the order across them shows.
class NoticeLog {
 public:
  void Add(const RecordedNotice& notice) {
    std::lock_guard hold(m_mutex);
    m_notices.push_back(notice);
  }
  std::vector<RecordedNotice> Notices() {
    std::lock_guard hold(m_mutex);
    return m_notices;
  }
  std::size_t Count() {
    std::lock_guard hold(m_mutex);
    return m_notices.size();
  }
  void Clear() {
    std::lock_guard hold(m_mutex);
    m_notices.clear();
  }

 private:
  std::mutex m_mutex;
  std::vector<RecordedNotice> m_notices;
};

class RecordingListener : public DynamicListener {
 public:
  explicit RecordingListener(NoticeLog& log) : m_log(log) {}
  ~RecordingListener() override { RemoveAllDependantsToThis(); }

  void DynamicCallback(long id, const char* name, void* args) override {
    m_log.Add({this, id, name, *static_cast<std::uint64_t*>(args)});
  }

 private:
  NoticeLog& m_log;
};
