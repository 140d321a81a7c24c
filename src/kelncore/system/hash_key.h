// hash_key: the hash of a byte-string key of the core's hash tables.
#pragma once

#include <cstdint>

namespace keln {

// h = h * 2 + b over the key bytes in order, each byte taken as a signed
// 8-bit value, in 32-bit unsigned arithmetic (so 0xE9 adds -23); 0 for an
// empty key. Callers take the result modulo their bucket count.
std::uint32_t hash_key(const void* bytes, std::uint32_t length);

}  // namespace keln
