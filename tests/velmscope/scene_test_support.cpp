#include "scene_test_support.h"

#include <gtest/gtest.h>

#include "kelncore/system/startup.h"

namespace keln::velmscope::testing {

namespace {

// The core (matrix routines, file-system device) for the whole test program.
class core_environment_t : public ::testing::Environment {
 public:
  void SetUp() override { core_startup(1); }
  void TearDown() override { core_shutdown(); }
};

const ::testing::Environment* const core_environment = ::testing::AddGlobalTestEnvironment(new core_environment_t);

}  // namespace

void message_log_t::handle(const string& text, message_level_t level) {
  const char* prefix = level == ML_ERROR ? "E: " : level == ML_WARNING ? "W: " : "I: ";
  lines.push_back(prefix + std::string(text.c_str()));
}

std::string document_path(const std::string& name) { return std::string(VELMSCOPE_TEST_DOCUMENTS) + name; }

test_character_t::test_character_t() {
  const velm::catalog_character_t& hunter = velm::catalog_characters[0];
  m_skeleton = document_path(hunter.skeleton);
  m_geometry = document_path(hunter.geometry);
  for (std::uint32_t a = 0; a < hunter.animation_count; ++a) {
    m_names.push_back(hunter.animations[a].name);
    m_documents.push_back(document_path(hunter.animations[a].document));
    m_base.push_back(hunter.animations[a].base);
  }
}

void test_character_t::set_animation_document(const char* name, const std::string& path) {
  for (std::size_t a = 0; a < m_names.size(); ++a) {
    if (m_names[a] == name) {
      m_documents[a] = path;
      return;
    }
  }
  ADD_FAILURE() << "no animation called " << name;
}

void test_character_t::keep_only(bool base) {
  for (std::size_t a = m_names.size(); a-- > 0;) {
    if (m_base[a] != base) {
      m_names.erase(m_names.begin() + a);
      m_documents.erase(m_documents.begin() + a);
      m_base.erase(m_base.begin() + a);
    }
  }
}

const velm::catalog_character_t& test_character_t::entry() {
  m_animations.clear();
  for (std::size_t a = 0; a < m_names.size(); ++a)
    m_animations.push_back({m_names[a].c_str(), m_documents[a].c_str(), m_base[a]});
  m_entry = {velm::catalog_characters[0].name, m_skeleton.c_str(), m_geometry.c_str(), m_animations.data(),
             static_cast<std::uint32_t>(m_animations.size())};
  return m_entry;
}

}  // namespace keln::velmscope::testing
