// The five kinds of document. The loader names the kind; the scanner hands it
// to the parser as the document's first token, which selects the grammar.
#pragma once

#include <cstdint>

namespace keln {

enum qix_kind_t : std::uint32_t {
  QIX_GEOMETRY = 0,   // .qim, FormatVersion 5
  QIX_SKELETON = 1,   // .qis, FormatVersion 1
  QIX_ANIMATION = 2,  // .qia, FormatVersion 3
  QIX_TRAIT = 3,      // .qit, FormatVersion 1
  QIX_COLLISION = 4,  // .qic, FormatVersion 2
};

}  // namespace keln

namespace keln {

// The kind named by a path's extension: .qim geometry, .qis skeleton, .qia
// animation, .qit trait, .qic collision (lower case). False for any other path.
bool qix_kind_from_path(const char* path, qix_kind_t& kind);

}  // namespace keln
