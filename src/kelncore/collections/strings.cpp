#include "kelncore/collections/strings.h"

#include <cstdio>
#include <cstring>

namespace keln {

char g_shared_empty_text[1] = {'\0'};

bool mstring_t::assign(const char* source, std::uint32_t destination_offset, std::uint32_t source_offset,
                       std::uint32_t count) {
  const std::uint32_t room = capacity() > destination_offset ? capacity() - destination_offset : 0;
  if (count == 0 || count < room) return copy(source + source_offset, destination_offset, count);

  // Length of the source, bounded by source_offset + count unless that is "all"
  // or overflows.
  std::size_t length;
  if (count == all || source_offset > UINT32_MAX - count)
    length = std::strlen(source);
  else
    length = strnlen(source, static_cast<std::size_t>(source_offset) + count);

  if (length <= source_offset) return copy("", destination_offset, all);
  const std::uint32_t n = static_cast<std::uint32_t>(length - source_offset);
  if (n >= room && can_grow()) reserve(destination_offset + n + 1);
  return copy(source + source_offset, destination_offset, n);
}

bool mstring_t::copy(const char* source, std::uint32_t destination_offset, std::uint32_t count) {
  const std::uint32_t cap = capacity();
  if (cap == 0 || destination_offset >= cap) return true;
  const std::uint32_t limit = cap - destination_offset - 1;
  char* out = text + destination_offset;
  std::uint32_t copied = 0;
  while (copied < limit && copied < count && source[copied] != '\0') {
    out[copied] = source[copied];
    ++copied;
  }
  out[copied] = '\0';
  return copied == count || source[copied] == '\0';
}

bool mstring_t::format(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  const bool whole = vformat(format, arguments);
  va_end(arguments);
  return whole;
}

bool mstring_t::vformat(const char* format, va_list arguments) {
  if (can_grow()) {
    va_list measure;
    va_copy(measure, arguments);
    const int needed = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (needed < 0) return false;
    reserve(static_cast<std::uint32_t>(needed) + 1);
  }
  const std::uint32_t cap = capacity();
  if (cap == 0) return false;
  const int length = std::vsnprintf(text, cap, format, arguments);
  if (length < 0) {
    text[0] = '\0';
    return false;
  }
  return static_cast<std::uint32_t>(length) < cap;
}

std::uint32_t mstring_t::length() const { return static_cast<std::uint32_t>(std::strlen(text)); }

bool mstring_t::operator==(const char* other) const { return std::strcmp(text, other) == 0; }

}  // namespace keln
