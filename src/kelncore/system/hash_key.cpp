#include "kelncore/system/hash_key.h"

namespace keln {

std::uint32_t hash_key(const void* bytes, std::uint32_t length) {
  const auto* key = static_cast<const std::int8_t*>(bytes);
  std::uint32_t h = 0;
  for (std::uint32_t i = 0; i < length; ++i) h = h * 2 + static_cast<std::uint32_t>(key[i]);
  return h;
}

}  // namespace keln
