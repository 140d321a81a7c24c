#include "documents/qix_numbers.h"

#include <cstdlib>
#include <cstring>

namespace keln {

std::int32_t qix_integer_value(const char* text) {
  // strtoll detects the base the same way and saturates at the 64-bit limits.
  const long long value = std::strtoll(text, nullptr, 0);
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<std::int32_t>(value);
}

float qix_decimal_value(const char* text) {
  // strtof rounds the decimal value once, straight to float, and stops at the "f".
  return std::strtof(text, nullptr);
}

bool qix_bits_value(const char* text, std::uint32_t length, float& out) {
  if (length != 9 || (text[0] != '&' && text[0] != '$')) return false;
  std::uint32_t bits = 0;
  for (std::uint32_t i = 1; i < 9; ++i) {
    const char c = text[i];
    std::uint32_t digit;
    if (c >= '0' && c <= '9')
      digit = static_cast<std::uint32_t>(c - '0');
    else if (c >= 'a' && c <= 'f')
      digit = static_cast<std::uint32_t>(c - 'a' + 10);
    else if (c >= 'A' && c <= 'F')
      digit = static_cast<std::uint32_t>(c - 'A' + 10);
    else
      return false;
    bits = bits << 4 | digit;
  }
  if (text[0] == '$') bits = __builtin_bswap32(bits);
  std::memcpy(&out, &bits, sizeof(out));
  return true;
}

}  // namespace keln
