// array_local_t: an array with room for N elements inside the object. It never
// touches the heap and never holds more than N elements: resize beyond N
// returns false and push_back returns null.
#pragma once

#include "kelncore/collections/arrays/arrays_base_impl.h"

namespace keln {

template <typename T, std::uint32_t N>
class array_local_t : public array_t<T> {
 public:
  array_local_t() { this->m_data = reinterpret_cast<T*>(m_storage); }
  array_local_t(const array_local_t&) = delete;
  array_local_t& operator=(const array_local_t&) = delete;
  ~array_local_t() override {
    this->clear();
    this->m_data = nullptr;
  }

  std::uint32_t capacity() const override { return N; }

 private:
  alignas(T) unsigned char m_storage[N * sizeof(T)];
};

}  // namespace keln
