#pragma once
// Bone-name tokens: a bone name read as a base-38 number, so that names can be
// compared and stored as one 64-bit value.
//
// Digits: '0'..'9' -> 1..10, 'a'..'z' and 'A'..'Z' alike -> 11..36, '_' -> 37.
// The first character is the least significant digit: the token is
// sum(digit_i * 38^i). The empty name gives 0. A name of more than 12
// characters, or with any other character, has no token (38^12 still fits in
// 64 bits; a 13th digit would not).

#include <cstdint>

namespace keln::velm {

inline constexpr unsigned bone_name_token_max_length = 12;

// Digit of one name character, or 0 when the character cannot appear in a
// token (0 is not a valid digit: every character counts at least 1).
constexpr std::uint64_t bone_name_digit(char c) {
  if (c >= '0' && c <= '9') return static_cast<std::uint64_t>(c - '0') + 1;
  if (c >= 'a' && c <= 'z') return static_cast<std::uint64_t>(c - 'a') + 11;
  if (c >= 'A' && c <= 'Z') return static_cast<std::uint64_t>(c - 'A') + 11;
  if (c == '_') return 37;
  return 0;
}

// Token of the NUL-terminated name into token; false (token unchanged) when the
// name has none.
constexpr bool bone_name_token(const char* name, std::uint64_t& token) {
  std::uint64_t sum = 0;
  std::uint64_t place = 1;
  for (unsigned i = 0; name[i] != '\0'; ++i) {
    const std::uint64_t digit = bone_name_digit(name[i]);
    if (i == bone_name_token_max_length || digit == 0) return false;
    sum += digit * place;
    place *= 38;
  }
  token = sum;
  return true;
}

// Token of a name known to have one; 0 for a name that has none.
constexpr std::uint64_t bone_name_token_or_zero(const char* name) {
  std::uint64_t token = 0;
  return bone_name_token(name, token) ? token : 0;
}

}  // namespace keln::velm
