// Dynamic<T>: an observable value. Used for int, float and double.
#pragma once

#include <atomic>
#include <type_traits>

#include <quellor/Export.h>

#include "DynamicTalker.h"

// Exported as a whole: the library holds the int, float and double forms.
template <typename T>
class QUELLOR_EXPORT Dynamic : public DynamicTalker {
  static_assert(std::is_arithmetic_v<T>, "Dynamic holds a number");

 public:
  Dynamic() = default;

  // When value differs from the stored one, stores it and announces name with
  // the extra arguments. Equal values announce nothing. The comparison is an
  // ordered one: a not-a-number on either side counts as equal, so a
  // not-a-number is never stored.
  template <typename... Arguments>
  void Set(T value, const char* name = "Changed", Arguments... arguments) {
    const T stored = Get();
    if (!(stored < value || stored > value)) return;
    // Values are set from render threads and read from the window thread.
    std::atomic_ref<T>(m_value).store(value, std::memory_order_relaxed);
    Changed(name, arguments...);
  }

  T Get() const {
    return std::atomic_ref<T>(const_cast<T&>(m_value)).load(std::memory_order_relaxed);
  }

 private:
  alignas(std::atomic_ref<T>::required_alignment) T m_value{};
};

extern template class Dynamic<int>;
extern template class Dynamic<float>;
extern template class Dynamic<double>;
