// array_dyn_t: an array whose block lives on the heap and grows by the policy
// capacity = capacity * 2 + 2 (2, 6, 14, 30, 62, ...). An empty array owns no
// block. Elements are moved into a new block on growth, so elements that own
// memory (strings, owning pointers, nested arrays) hand it over instead of
// copying it.
#pragma once

#include <cstdlib>
#include <utility>

#include "kelncore/collections/arrays/arrays_base_impl.h"

namespace keln {

template <typename T>
class array_dyn_t : public array_t<T> {
  using array_t<T>::m_data;
  using array_t<T>::m_count;

 public:
  array_dyn_t() = default;
  array_dyn_t(const array_dyn_t& other) : array_t<T>() { *this = other; }
  array_dyn_t(array_dyn_t&& other) noexcept : array_t<T>() { take(other); }
  ~array_dyn_t() override {
    this->clear();
    release_block(m_data);
    m_data = nullptr;
  }

  array_dyn_t& operator=(const array_dyn_t& other) { return assign_from(other); }
  array_dyn_t& operator=(const array_t<T>& other) { return assign_from(other); }
  array_dyn_t& operator=(array_dyn_t&& other) noexcept {
    if (this != &other) {
      this->clear();
      release_block(m_data);
      m_data = nullptr;
      m_capacity = 0;
      take(other);
    }
    return *this;
  }

  std::uint32_t capacity() const override { return m_capacity; }

  void reallocate() override { reserve(m_count); }

  // Grows the capacity by the policy until it holds n, then moves the live
  // elements into a fresh block of that capacity (also when the capacity did
  // not change). A request that cannot be represented in 32 bits leaves the
  // array unchanged.
  void reserve(std::uint32_t n) override {
    std::uint64_t capacity = m_capacity;
    while (capacity < n) capacity = capacity * 2 + 2;
    if (capacity > UINT32_MAX) capacity = n;
    if (capacity == 0) return;
    T* block = static_cast<T*>(::operator new(static_cast<std::size_t>(capacity) * sizeof(T)));
    for (std::uint32_t i = 0; i < m_count; ++i) {
      new (block + i) T(std::move(m_data[i]));
      m_data[i].~T();
    }
    release_block(m_data);
    m_data = block;
    m_capacity = static_cast<std::uint32_t>(capacity);
  }

 private:
  array_dyn_t& assign_from(const array_t<T>& other) {
    if (static_cast<const array_t<T>*>(this) == &other) return *this;
    this->clear();
    if (!this->resize(other.size())) {
      // Fixed file and function texts, as in KELN_ARRAY_CHECK.
      core_assert_failed("Failed to allocate enough elements to accomodate elements of rhs array.",
                         "kelncore/collections/arrays/arrays_dyn.h", __LINE__, "unknown fn");
    }
    for (std::uint32_t i = 0; i < other.size(); ++i) m_data[i] = other.data()[i];
    return *this;
  }

  void take(array_dyn_t& other) {
    m_data = other.m_data;
    m_count = other.m_count;
    m_capacity = other.m_capacity;
    other.m_data = nullptr;
    other.m_count = 0;
    other.m_capacity = 0;
  }

  static void release_block(T* block) { ::operator delete(block); }

  std::uint32_t m_capacity = 0;
};

}  // namespace keln
