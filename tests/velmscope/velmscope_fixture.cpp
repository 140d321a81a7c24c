#include "velmscope_fixture.h"

namespace keln::velmscope::testing {

void message_log_t::handle(const string& text, message_level_t level) {
  const char* prefix = level == ML_ERROR ? "E: " : level == ML_WARNING ? "W: " : "I: ";
  lines.push_back(prefix + std::string(text.c_str()));
}

std::string document_path(const std::string& name) { return std::string(VELMSCOPE_TEST_DOCUMENTS) + name; }

test_character_t::test_character_t() {
  const velm::catalog_character_t& hunter = velm::catalog_characters[0];
  skeleton = document_path(hunter.skeleton);
  geometry = document_path(hunter.geometry);
  for (const auto* a = hunter.animations; a != hunter.animations + hunter.animation_count; ++a)
    animations.push_back({a->name, document_path(a->document), a->base});
}

const velm::catalog_character_t& test_character_t::entry() {
  m_table.clear();
  for (const animation_t& a : animations) m_table.push_back({a.name.c_str(), a.document.c_str(), a.base});
  m_entry = {velm::catalog_characters[0].name, skeleton.c_str(), geometry.c_str(), m_table.data(),
             static_cast<std::uint32_t>(m_table.size())};
  return m_entry;
}

}  // namespace keln::velmscope::testing
