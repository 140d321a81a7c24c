// array_t: the abstract base of every array of the core. Elements live in one
// contiguous block; [0, size()) are constructed, the rest of the block is raw.
// Every element access and every element pointer handed back is checked, and a
// failed check ends the process (core_assert_failed).
#pragma once

#include <cstdint>
#include <new>
#include <utility>

#include "kelncore/system/assert.h"

namespace keln {

// The file and function texts are fixed, not taken from __FILE__ and __func__:
// the check line "<file>(<line>): unknown fn: <message>" is printed exactly so,
// and __FILE__ would give a path that depends on the build directory (and
// __func__ the name of the template member) instead.
#define KELN_ARRAY_CHECK(condition, message)                                                    \
  do {                                                                                          \
    if (__builtin_expect(!(condition), 0))                                                      \
      ::keln::core_assert_failed(message, "kelncore/collections/arrays/arrays_base_impl.h",     \
                                 __LINE__, "unknown fn");                                       \
  } while (0)

template <typename T>
class array_t {
 public:
  using value_type = T;

  virtual ~array_t() = default;
  // Re-allocates the block at the current capacity (heap arrays only).
  virtual void reallocate() {}
  // Number of element places in the block.
  virtual std::uint32_t capacity() const = 0;
  // Makes room for at least n elements where the array can grow.
  virtual void reserve(std::uint32_t) {}

  std::uint32_t size() const { return m_count; }
  bool empty() const { return m_count == 0; }
  T* data() { return m_data; }
  const T* data() const { return m_data; }
  T* begin() { return m_data; }
  T* end() { return m_data + m_count; }
  const T* begin() const { return m_data; }
  const T* end() const { return m_data + m_count; }

  T& operator[](std::uint32_t index) {
    KELN_ARRAY_CHECK(index < m_count, "[array_t] boundary check failed - index overflow");
    return m_data[index];
  }
  const T& operator[](std::uint32_t index) const {
    KELN_ARRAY_CHECK(index < m_count, "[array_t] boundary check failed - index overflow");
    return m_data[index];
  }

  // Shrinks (destroying elements from the last down) or grows (value-initialising
  // the new elements in index order). Returns false, unchanged, when the array
  // cannot hold n elements.
  bool resize(std::uint32_t n) {
    if (n <= m_count) {
      while (m_count > n) {
        --m_count;
        m_data[m_count].~T();
      }
      return true;
    }
    if (capacity() < n) reserve(n);
    if (capacity() < n) return false;
    for (std::uint32_t i = m_count; i < n; ++i) new (m_data + i) T();
    m_count = n;
    return true;
  }

  bool grow_by(std::uint32_t k) {
    if (k > UINT32_MAX - m_count) return false;
    return resize(m_count + k);
  }

  // Appends a copy (or the moved value); null when the array cannot grow, in
  // which case the value is dropped.
  T* push_back(const T& value) {
    if (!grow_by(1)) return nullptr;
    T* last = m_data + m_count - 1;
    *last = value;
    return last;
  }
  T* push_back(T&& value) {
    if (!grow_by(1)) return nullptr;
    T* last = m_data + m_count - 1;
    *last = std::move(value);
    return last;
  }

  // Removes the element at index, moving the later ones down by one place.
  // Returns the place index - 1 (one before the first element when index is 0),
  // so that a forward loop that erases lands, after its increment, on the
  // element that moved into the erased place.
  T* erase(std::uint32_t index) {
    KELN_ARRAY_CHECK(index < m_count, "[array_t] boundary check failed - index overflow");
    for (std::uint32_t i = index; i + 1 < m_count; ++i) m_data[i] = std::move(m_data[i + 1]);
    resize(m_count - 1);
    return reinterpret_cast<T*>(reinterpret_cast<std::uintptr_t>(m_data) +
                                (static_cast<std::uintptr_t>(index) - 1u) * sizeof(T));
  }
  T* erase(T* element) { return erase(index_of(element)); }

  // First element equal to value, or null.
  T* find(const T& value) {
    for (std::uint32_t i = 0; i < m_count; ++i)
      if (m_data[i] == value) return m_data + i;
    return nullptr;
  }

  // Erases the first element equal to value; a value that is not present
  // leaves the array unchanged.
  void remove(const T& value) {
    T* element = find(value);
    if (element) erase(element);
  }

  // Destroys every element, last first; the block is kept.
  void clear() { resize(0); }

  // Index of an element pointer, checked against the live elements.
  std::uint32_t index_of(const T* element) const {
    KELN_ARRAY_CHECK(element >= m_data, "[array_t] boundary check failed - iterator underflow");
    KELN_ARRAY_CHECK(element < m_data + m_count, "[array_t] boundary check failed - iterator overflow");
    return static_cast<std::uint32_t>(element - m_data);
  }

 protected:
  array_t() = default;
  array_t(const array_t&) = delete;
  array_t& operator=(const array_t&) = delete;

  T* m_data = nullptr;
  std::uint32_t m_count = 0;
};

}  // namespace keln
