// auto_ptr_t: one owning pointer. Destruction deletes the pointee (through its
// virtual destructor where it has one). Copying or assigning transfers
// ownership and leaves the source empty.
#pragma once

namespace keln {

template <typename T>
class auto_ptr_t {
 public:
  auto_ptr_t() = default;
  explicit auto_ptr_t(T* pointer) : m_pointer(pointer) {}
  auto_ptr_t(auto_ptr_t& other) : m_pointer(other.release()) {}
  auto_ptr_t(auto_ptr_t&& other) noexcept : m_pointer(other.release()) {}
  ~auto_ptr_t() { delete m_pointer; }

  auto_ptr_t& operator=(auto_ptr_t& other) {
    if (this != &other) reset(other.release());
    return *this;
  }
  auto_ptr_t& operator=(auto_ptr_t&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }

  T* get() const { return m_pointer; }
  T* operator->() const { return m_pointer; }
  T& operator*() const { return *m_pointer; }
  explicit operator bool() const { return m_pointer != nullptr; }

  // Deletes the current pointee (if any) and owns pointer instead.
  void reset(T* pointer) {
    if (pointer == m_pointer) return;
    T* old = m_pointer;
    m_pointer = pointer;
    delete old;
  }
  // Gives up ownership without deleting.
  T* release() {
    T* pointer = m_pointer;
    m_pointer = nullptr;
    return pointer;
  }

  bool operator==(const auto_ptr_t& other) const { return m_pointer == other.m_pointer; }

 private:
  T* m_pointer = nullptr;
};

}  // namespace keln
