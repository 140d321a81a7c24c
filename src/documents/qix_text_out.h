// Destinations of written document text.
#pragma once

#include <cstddef>
#include <cstdio>

#include "kelncore/collections/arrays/arrays_dyn.h"

namespace keln {

class qix_text_out_t {
 public:
  qix_text_out_t() = default;
  virtual ~qix_text_out_t() = default;
  qix_text_out_t(const qix_text_out_t&) = delete;
  qix_text_out_t& operator=(const qix_text_out_t&) = delete;

  virtual void write(const char* bytes, std::size_t count) = 0;
};

// Collects the text in memory (not NUL-terminated).
class qix_buffer_out_t : public qix_text_out_t {
 public:
  void write(const char* bytes, std::size_t count) override;

  array_dyn_t<char> text;
};

// Writes to a stdio stream the caller keeps open; write errors are left to
// the caller (ferror).
class qix_stdio_out_t : public qix_text_out_t {
 public:
  explicit qix_stdio_out_t(std::FILE* stream) : m_stream(stream) {}
  void write(const char* bytes, std::size_t count) override;

 private:
  std::FILE* m_stream;
};

}  // namespace keln
