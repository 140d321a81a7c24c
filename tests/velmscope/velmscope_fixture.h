// What the viewer's unit tests share: a catalog that records what the shell
// asks of its characters, a message recorder, and test characters built from
// the small documents in documents/.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "kelncore/system/messages.h"
#include "support/tolerances.h"
#include "velm/catalog.h"
#include "velmscope/model_catalog.h"

namespace keln::velmscope::testing {

struct fake_model_t {
  std::string name;
  std::string base = "NONE";
  std::string side = "NONE";
  int next_base_calls = 0;
  int next_side_calls = 0;
  difference_readout_t readout{};
};

class fake_catalog_t : public model_catalog_t {
 public:
  std::vector<fake_model_t> models;

  std::uint32_t size() const override { return static_cast<std::uint32_t>(models.size()); }
  const char* name(std::uint32_t model) const override { return models.at(model).name.c_str(); }
  const char* base_animation_name(std::uint32_t model) const override { return models.at(model).base.c_str(); }
  const char* side_animation_name(std::uint32_t model) const override { return models.at(model).side.c_str(); }
  void next_base(std::uint32_t model) override { ++models.at(model).next_base_calls; }
  void next_side(std::uint32_t model) override { ++models.at(model).next_side_calls; }
  void advance(std::uint32_t, float) override {}
  difference_readout_t difference_readout(std::uint32_t model) const override { return models.at(model).readout; }
};

// Records every message as "I: text", "W: text" or "E: text" while it lives.
class message_log_t : public message_handler_t {
 public:
  void handle(const string& text, message_level_t level) override;
  std::vector<std::string> lines;
};

// Path of a file below tests/velmscope/documents.
std::string document_path(const std::string& name);

// The catalog's HUNTER with every document below tests/velmscope/documents,
// or replaced; it keeps the strings its table entry points to.
class test_character_t {
 public:
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
  struct animation_t {
    std::string name, document;
    bool base;
  };
  std::string m_skeleton, m_geometry;
  std::vector<animation_t> m_animations;
  std::vector<velm::catalog_animation_t> m_table;
  velm::catalog_character_t m_entry{};
};

}  // namespace keln::velmscope::testing
