#pragma once
// Bone-name tokens: a name of at most 12 characters from 0-9, a-z, A-Z and _
// read as a base-38 number whose first character is the least significant
// digit ('0'-'9' are 1-10, letters of either case 11-36, '_' 37). The empty
// name is 0; names of no other form have a token. Tokens are 64-bit and
// unique per name up to letter case.

#include <cstdint>

namespace keln::velm {

constexpr unsigned bone_name_max_length = 12;

// Digit of one character, 0 when the character has none.
constexpr std::uint64_t bone_name_digit(char c) {
  if (c >= '0' && c <= '9') return static_cast<std::uint64_t>(c - '0') + 1;
  if (c >= 'a' && c <= 'z') return static_cast<std::uint64_t>(c - 'a') + 11;
  if (c >= 'A' && c <= 'Z') return static_cast<std::uint64_t>(c - 'A') + 11;
  if (c == '_') return 37;
  return 0;
}

// Token of the zero-terminated name into token; false (token untouched) when
// the name is longer than 12 characters or holds another character.
constexpr bool bone_name_token(const char* name, std::uint64_t& token) {
  std::uint64_t value = 0, weight = 1;
  unsigned length = 0;
  for (; name[length] != '\0'; ++length) {
    const std::uint64_t digit = bone_name_digit(name[length]);
    if (length == bone_name_max_length || digit == 0) return false;
    value += digit * weight;
    weight *= 38;
  }
  token = value;
  return true;
}

// Token of a name known to be valid (for constants); 0 otherwise.
constexpr std::uint64_t bone_name_token_of(const char* name) {
  std::uint64_t token = 0;
  return bone_name_token(name, token) ? token : 0;
}

}  // namespace keln::velm
