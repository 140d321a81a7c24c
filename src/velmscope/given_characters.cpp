#include "velmscope/given_characters.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace keln::velmscope {

namespace {

namespace fs = std::filesystem;

std::string capitals(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return text;
}

// The name of the folder that path names or lies in.
std::string folder_name(const fs::path& folder) {
  fs::path absolute = fs::absolute(folder).lexically_normal();
  if (!absolute.has_filename()) absolute = absolute.parent_path();
  return capitals(absolute.filename().string());
}

// The files of folder with extension, sorted by file name.
std::vector<std::string> files_with(const fs::path& folder, const std::string& extension) {
  std::vector<std::string> names;
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, error))
    if (entry.path().extension() == extension && entry.is_regular_file(error))
      names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::string joined(const fs::path& folder, const std::string& file) { return (folder / file).string(); }

}  // namespace

bool find_given_character(const std::string& path, given_character_t& character, std::string& problem) {
  std::error_code error;
  const fs::path given(path);
  fs::path folder = given;
  std::vector<std::string> skeletons;
  if (fs::is_directory(given, error)) {
    skeletons = files_with(folder, ".qis");
  } else if (given.extension() == ".qis" && fs::is_regular_file(given, error)) {
    folder = given.parent_path();
    skeletons = {given.filename().string()};
  } else {
    problem = "not a character folder or skeleton document (.qis)";
    return false;
  }
  if (folder.empty()) folder = ".";
  const std::vector<std::string> geometries = files_with(folder, ".qim");
  if (skeletons.size() != 1 || geometries.size() > 1) {
    problem = skeletons.empty()       ? "no skeleton document (.qis) in the folder"
              : skeletons.size() != 1 ? "more than one skeleton document (.qis) in the folder"
                                      : "more than one geometry document (.qim) in the folder";
    return false;
  }
  character.name = folder_name(folder);
  character.skeleton = joined(folder, skeletons[0]);
  character.geometry = geometries.empty() ? "" : joined(folder, geometries[0]);
  for (const std::string& animation : files_with(folder, ".qia")) {
    character.animations.push_back(joined(folder, animation));
    character.animation_names.push_back(capitals(fs::path(animation).stem().string()));
  }
  return true;
}

given_catalog_t::given_catalog_t(std::vector<given_character_t> characters) : m_characters(std::move(characters)) {
  for (const given_character_t& character : m_characters) {
    std::vector<velm::catalog_animation_t> animations;
    for (std::size_t a = 0; a < character.animations.size(); ++a)
      animations.push_back({character.animation_names[a].c_str(), character.animations[a].c_str(), true});
    m_animations.push_back(std::move(animations));
  }
  for (std::size_t c = 0; c < m_characters.size(); ++c) {
    const given_character_t& character = m_characters[c];
    m_entries.push_back({character.name.c_str(), character.skeleton.c_str(),
                         character.geometry.empty() ? nullptr : character.geometry.c_str(), m_animations[c].data(),
                         static_cast<std::uint32_t>(m_animations[c].size())});
  }
}

}  // namespace keln::velmscope
