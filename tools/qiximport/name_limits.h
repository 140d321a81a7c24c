// Names that fit the documents: bone names that have a name token (at most
// 12 characters from 0-9, A-Z, a-z and _; tokens ignore letter case) and
// file names for the documents of one folder.
#pragma once

#include <set>
#include <string>

namespace keln::qiximport {

// Longest document file name without its extension. Document names are
// also written into the documents' headers, whose texts hold 63 bytes.
constexpr std::size_t file_name_max_length = 48;

// Hands out names unique up to letter case within one set (the bones of one
// skeleton, or the documents of one folder).
class name_registry_t {
 public:
  // A bone name for source: characters outside 0-9, A-Z, a-z and _ become _,
  // an empty name becomes "bone", and the result is cut to 12 characters;
  // when that name is taken, its end is replaced by _2, _3, ... until it is
  // free.
  std::string bone_name(const std::string& source);

  // A document file name for source: characters outside 0-9, A-Z, a-z, -
  // and _ become _, an empty name becomes fallback, the result is cut to
  // file_name_max_length and made unique like bone names.
  std::string file_name(const std::string& source, const std::string& fallback);

 private:
  std::string unique(std::string name, std::size_t max_length);

  std::set<std::string> m_taken;  // lower-case forms of the names handed out
};

}  // namespace keln::qiximport
