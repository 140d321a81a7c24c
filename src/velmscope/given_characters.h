// Characters named on the viewer's command line. A CHARACTER is a folder
// holding one skeleton document (.qis), at most one geometry document (.qim)
// and any number of animation documents (.qia), or the path of a .qis with
// the other documents beside it. Each is shown under its folder's name in
// capitals, its animations as base animations in file-name order, named
// after their files in capitals.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "velm/catalog.h"

namespace keln::velmscope {

struct given_character_t {
  std::string name;                          // the folder's name in capitals
  std::string skeleton;                      // the .qis, joined to the folder as given
  std::string geometry;                      // the .qim, empty when the folder has none
  std::vector<std::string> animations;       // the .qia documents, in file-name order
  std::vector<std::string> animation_names;  // their file names without extension, in capitals
};

// Finds the documents of the character at path. False, with problem set
// (without the path), when path is neither a folder nor a .qis, or when its
// folder holds no .qis, more than one .qis, or more than one .qim.
bool find_given_character(const std::string& path, given_character_t& character, std::string& problem);

// The given characters as entries of the character catalog (velm/catalog.h),
// pointing into this object's strings: valid while it lives. A character
// without geometry has a null geometry path.
class given_catalog_t {
 public:
  explicit given_catalog_t(std::vector<given_character_t> characters);
  given_catalog_t(const given_catalog_t&) = delete;
  given_catalog_t& operator=(const given_catalog_t&) = delete;

  const velm::catalog_character_t* entries() const { return m_entries.data(); }
  std::uint32_t count() const { return static_cast<std::uint32_t>(m_entries.size()); }

 private:
  std::vector<given_character_t> m_characters;
  std::vector<std::vector<velm::catalog_animation_t>> m_animations;
  std::vector<velm::catalog_character_t> m_entries;
};

}  // namespace keln::velmscope
