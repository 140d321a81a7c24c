// Mutable NUL-terminated strings: string_dyn_t grows on the heap (exactly, never
// shrinking), string_local_t<N> keeps at most N - 1 characters inside the
// object and truncates. Neither ever fails; a cut is reported by a false result.
#pragma once

#include <cstdarg>
#include <cstdint>

namespace keln {

// Non-polymorphic base: the text pointer, always NUL-terminated.
class string {
 public:
  const char* c_str() const { return text; }
  char* text;

 protected:
  explicit string(char* initial) : text(initial) {}
  ~string() = default;
  string(const string&) = default;
  string& operator=(const string&) = default;
};

class mstring_t : public string {
 public:
  // Count meaning "up to the source's terminator".
  static constexpr std::uint32_t all = UINT32_MAX;

  virtual ~mstring_t() { text = nullptr; }
  virtual bool can_grow() const = 0;
  // Makes room for n bytes, terminator included (growing strings only).
  virtual void reserve(std::uint32_t n) = 0;
  // Bytes of room, terminator included.
  virtual std::uint32_t capacity() const = 0;

  // Copies up to count bytes of source, starting at source_offset, to
  // destination_offset (which must be below the capacity, or at most the text
  // length of a growing string). Returns true when nothing was cut.
  bool assign(const char* source, std::uint32_t destination_offset = 0, std::uint32_t source_offset = 0,
              std::uint32_t count = all);
  // printf-style formatting of the whole text; true when nothing was cut.
  bool format(const char* format, ...) __attribute__((format(printf, 2, 3)));
  bool vformat(const char* format, va_list arguments);

  std::uint32_t length() const;
  bool operator==(const char* other) const;
  bool operator==(const mstring_t& other) const { return *this == other.text; }

 protected:
  explicit mstring_t(char* initial) : string(initial) {}
  mstring_t(const mstring_t&) = default;
  mstring_t& operator=(const mstring_t&) = default;

 private:
  bool copy(const char* source, std::uint32_t destination_offset, std::uint32_t count);
};

// Heap storage policy of string_dyn_t.
struct default_mstring_allocator_t {
  static char* allocate(std::uint32_t bytes) { return new char[bytes]; }
  static void release(char* block) { delete[] block; }
};

// The one shared empty text of every empty growing string.
extern char g_shared_empty_text[1];

template <typename A>
class string_dyn_t : public mstring_t {
 public:
  // Empty: shares the static empty text and owns nothing.
  string_dyn_t() : mstring_t(g_shared_empty_text) {}
  string_dyn_t(const char* source) : mstring_t(g_shared_empty_text) { assign(source); }
  string_dyn_t(const string_dyn_t& other) : mstring_t(g_shared_empty_text) { assign(other.text); }
  string_dyn_t(string_dyn_t&& other) noexcept : mstring_t(other.text), m_capacity(other.m_capacity) {
    other.text = g_shared_empty_text;
    other.m_capacity = 0;
  }
  ~string_dyn_t() override {
    if (text != g_shared_empty_text) A::release(text);
  }

  string_dyn_t& operator=(const string_dyn_t& other) {
    if (this != &other) assign(other.text);
    return *this;
  }
  string_dyn_t& operator=(string_dyn_t&& other) noexcept {
    if (this != &other) {
      if (text != g_shared_empty_text) A::release(text);
      text = other.text;
      m_capacity = other.m_capacity;
      other.text = g_shared_empty_text;
      other.m_capacity = 0;
    }
    return *this;
  }
  string_dyn_t& operator=(const char* source) {
    assign(source);
    return *this;
  }

  bool can_grow() const override { return true; }
  std::uint32_t capacity() const override { return m_capacity; }
  // Exact growth: a buffer of n bytes when n exceeds the capacity (the text is
  // kept); never shrinks.
  void reserve(std::uint32_t n) override {
    if (text == g_shared_empty_text) {
      if (n == 0) return;
      text = A::allocate(n);
      text[0] = '\0';
      m_capacity = n;
      return;
    }
    if (n <= m_capacity) return;
    char* block = A::allocate(n);
    for (std::uint32_t i = 0; i < m_capacity; ++i) block[i] = text[i];
    A::release(text);
    text = block;
    m_capacity = n;
  }

 private:
  std::uint32_t m_capacity = 0;
};

using string_dyn = string_dyn_t<default_mstring_allocator_t>;

template <std::uint32_t N>
class string_local_t : public mstring_t {
  static_assert(N > 0, "a local string needs room for its terminator");

 public:
  string_local_t() : mstring_t(m_buffer) { m_buffer[0] = '\0'; }
  string_local_t(const char* source) : mstring_t(m_buffer) {
    m_buffer[0] = '\0';
    assign(source);
  }
  string_local_t(const string_local_t& other) : mstring_t(m_buffer) {
    m_buffer[0] = '\0';
    assign(other.text);
  }
  string_local_t& operator=(const string_local_t& other) {
    if (this != &other) assign(other.text);
    return *this;
  }
  string_local_t& operator=(const char* source) {
    assign(source);
    return *this;
  }

  bool can_grow() const override { return false; }
  void reserve(std::uint32_t) override {}
  std::uint32_t capacity() const override { return N; }

 private:
  char m_buffer[N];
};

}  // namespace keln
