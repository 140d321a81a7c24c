#include "velmscope_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace keln::velmscope::testing {

void message_log_t::handle(const string& text, message_level_t level) {
  const char* prefix = level == ML_ERROR ? "E: " : level == ML_WARNING ? "W: " : "I: ";
  lines.push_back(prefix + std::string(text.c_str()));
}

std::string document_path(const std::string& name) { return std::string(VELMSCOPE_TEST_DOCUMENTS) + name; }

test_character_t::test_character_t() {
  const velm::catalog_character_t& hunter = velm::catalog_characters[0];
  m_skeleton = document_path(hunter.skeleton);
  m_geometry = document_path(hunter.geometry);
  for (std::uint32_t a = 0; a < hunter.animation_count; ++a)
    m_animations.push_back({hunter.animations[a].name, document_path(hunter.animations[a].document),
                            hunter.animations[a].base});
}

void test_character_t::set_animation_document(const char* name, const std::string& path) {
  auto named = std::find_if(m_animations.begin(), m_animations.end(), [name](auto& a) { return a.name == name; });
  ASSERT_NE(named, m_animations.end()) << "no animation called " << name;
  named->document = path;
}

void test_character_t::keep_only(bool base) {
  m_animations.erase(std::remove_if(m_animations.begin(), m_animations.end(), [base](auto& a) { return a.base != base; }),
                     m_animations.end());
}

const velm::catalog_character_t& test_character_t::entry() {
  m_table.clear();
  for (const animation_t& a : m_animations) m_table.push_back({a.name.c_str(), a.document.c_str(), a.base});
  m_entry = {velm::catalog_characters[0].name, m_skeleton.c_str(), m_geometry.c_str(), m_table.data(),
             static_cast<std::uint32_t>(m_table.size())};
  return m_entry;
}

}  // namespace keln::velmscope::testing
