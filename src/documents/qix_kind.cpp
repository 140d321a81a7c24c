#include "documents/qix_kind.h"

#include <cstring>

namespace keln {

bool qix_kind_from_path(const char* path, qix_kind_t& kind) {
  static const char* const extensions[] = {".qim", ".qis", ".qia", ".qit", ".qic"};
  const std::size_t length = std::strlen(path);
  if (length < 4) return false;
  for (std::uint32_t k = 0; k < 5; ++k) {
    if (std::strcmp(path + length - 4, extensions[k]) == 0) {
      kind = static_cast<qix_kind_t>(k);
      return true;
    }
  }
  return false;
}

}  // namespace keln
