// An observable setting value (an integer or a double) with its own lock and
// a list of dependant windows. A change sends kValueChanging (1024) to every
// dependant, stores the new value under the lock, then sends kValueChanged
// (1025); setting the value it already has sends nothing. Messages go out
// synchronously on the changing thread, without the lock held, with the
// value's address in lParam, so a dependant may read the value (or change
// another one) while handling them.
#pragma once

#include <quellor/Export.h>

#include <algorithm>
#include <mutex>
#include <vector>

#include "windows.h"

namespace quellor::widgets {

constexpr UINT kValueChanging = 1024;
constexpr UINT kValueChanged = 1025;

template <class T>
class QUELLOR_EXPORT SettingValue {
 public:
  explicit SettingValue(T initial = T{}) : value_(initial) {}
  SettingValue(const SettingValue&) = delete;
  SettingValue& operator=(const SettingValue&) = delete;

  T Get() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return value_;
  }
  operator T() const { return Get(); }

  // True when the value changed (and the dependants were told).
  bool Set(T value) {
    std::vector<HWND> dependants;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (value_ == value) return false;
      dependants = dependants_;
    }
    Notify(dependants, kValueChanging);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      value_ = value;
      dependants = dependants_;
    }
    Notify(dependants, kValueChanged);
    return true;
  }
  SettingValue& operator=(T value) {
    Set(value);
    return *this;
  }

  // A window is a dependant at most once.
  void AddDependant(HWND window) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (std::find(dependants_.begin(), dependants_.end(), window) == dependants_.end())
      dependants_.push_back(window);
  }
  void RemoveDependant(HWND window) {
    std::lock_guard<std::mutex> lock(mutex_);
    dependants_.erase(std::remove(dependants_.begin(), dependants_.end(), window),
                      dependants_.end());
  }
  std::vector<HWND> Dependants() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return dependants_;
  }

 private:
  void Notify(const std::vector<HWND>& windows, UINT message) {
    for (HWND w : windows) {
      // A dependant that went away without unregistering is passed over.
      if (IsWindow(w)) SendMessageA(w, message, 0, reinterpret_cast<LPARAM>(this));
    }
  }

  mutable std::mutex mutex_;
  T value_;
  std::vector<HWND> dependants_;
};

using IntSetting = SettingValue<int>;
using DoubleSetting = SettingValue<double>;

}  // namespace quellor::widgets
