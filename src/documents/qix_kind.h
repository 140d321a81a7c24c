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
