// explicit_singleton_t: a class with at most one live object, created and
// destroyed by explicit calls (never on first use). The derived constructor
// publishes the object through instance(); its destructor withdraws it.
#pragma once

namespace keln {

template <typename T>
class explicit_singleton_t {
 public:
  // The live object, or null when none exists.
  static T* instance() { return s_instance; }

 protected:
  explicit_singleton_t() { s_instance = static_cast<T*>(this); }
  ~explicit_singleton_t() { s_instance = nullptr; }
  explicit_singleton_t(const explicit_singleton_t&) = delete;
  explicit_singleton_t& operator=(const explicit_singleton_t&) = delete;

 private:
  static inline T* s_instance = nullptr;
};

}  // namespace keln
