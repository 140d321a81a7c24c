// Shared helpers of the tests of the viewer's characters and 3D view: the
// started core, a message recorder and the test characters built from the
// small documents in documents/.
#pragma once

#include <string>
#include <vector>

#include "kelncore/system/messages.h"
#include "velm/catalog.h"

namespace keln::velmscope::testing {

// Records every message as "I: text", "W: text" or "E: text" while it lives.
class message_log_t : public message_handler_t {
 public:
  void handle(const string& text, message_level_t level) override;
  std::vector<std::string> lines;
};

// Path of a file below tests/velmscope/documents.
std::string document_path(const std::string& name);

// A character of the catalog with every document path made absolute below
// tests/velmscope/documents, or replaced; it keeps the strings its table
// points to.
class test_character_t {
 public:
  // The catalog's HUNTER with its own names, base flags and document names.
  test_character_t();

  // Replaces the document of the animation called name (the test fails when
  // there is none) / the skeleton / the geometry with path, as given.
  void set_animation_document(const char* name, const std::string& path);
  void set_skeleton(const std::string& path) { m_skeleton = path; }
  void set_geometry(const std::string& path) { m_geometry = path; }
  // Keeps only the animations whose base flag is base.
  void keep_only(bool base);

  // The table entry; valid until this object changes.
  const velm::catalog_character_t& entry();

 private:
  std::string m_skeleton;
  std::string m_geometry;
  std::vector<std::string> m_names;
  std::vector<std::string> m_documents;
  std::vector<bool> m_base;
  std::vector<velm::catalog_animation_t> m_animations;
  velm::catalog_character_t m_entry{};
};

}  // namespace keln::velmscope::testing
