// explicit_singleton_t: a class with at most one live object, created and
// destroyed by explicit calls (never on first use). The derived constructor
// publishes the object through instance(); its destructor withdraws it.
#pragma once

namespace keln {

template <typename T>
class explicit_singleton_t {
 public:
  // The live object, or null when none exists.
  static T* instance() { return static_cast<T*>(s_instance); }

 protected:
  // Only the base part exists while this runs, so the pointer is kept as a
  // base pointer and turned into a T* by instance(), once the object is whole.
  explicit_singleton_t() { s_instance = this; }
  ~explicit_singleton_t() { s_instance = nullptr; }
  explicit_singleton_t(const explicit_singleton_t&) = delete;
  explicit_singleton_t& operator=(const explicit_singleton_t&) = delete;

 private:
  static inline explicit_singleton_t* s_instance = nullptr;
};

}  // namespace keln
