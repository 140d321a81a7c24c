// A catalog recording what the shell asks, a message recorder, and the HUNTER
// of documents/ (RUN, WALK, BACKWALK (base) and WAVE, GREET (side)).
#pragma once

#include <string>
#include <vector>

#include "kelncore/system/messages.h"
#include "support/tolerances.h"
#include "velm/catalog.h"
#include "velmscope/model_catalog.h"

namespace keln::velmscope::testing {

struct fake_model_t {
  std::string name, base = "NONE", side = "NONE";
  int next_base_calls = 0, next_side_calls = 0;
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
  void handle(const string& text, message_level_t level) override {
    lines.push_back((level == ML_ERROR ? "E: " : level == ML_WARNING ? "W: " : "I: ") + std::string(text.c_str()));
  }
  std::vector<std::string> lines;
};

// Path of a file below tests/velmscope/documents.
inline std::string document_path(const std::string& name) { return VELMSCOPE_TEST_DOCUMENTS + name; }

// The catalog's HUNTER read from documents/; documents may be replaced.
class test_character_t {
 public:
  test_character_t() {
    const velm::catalog_character_t& hunter = velm::catalog_characters[0];
    skeleton = document_path(hunter.skeleton);
    geometry = document_path(hunter.geometry);
    for (const auto* a = hunter.animations; a != hunter.animations + hunter.animation_count; ++a)
      animations.push_back({a->name, document_path(a->document), a->base});
  }
  // The table entry; valid until this object changes.
  const velm::catalog_character_t& entry() {
    m_table.clear();
    for (const animation_t& a : animations) m_table.push_back({a.name.c_str(), a.document.c_str(), a.base});
    m_entry = {velm::catalog_characters[0].name, skeleton.c_str(), geometry.c_str(), m_table.data(),
               static_cast<std::uint32_t>(m_table.size())};
    return m_entry;
  }

  std::string skeleton, geometry;
  struct animation_t {
    std::string name, document;
    bool base;
  };
  std::vector<animation_t> animations;

 private:
  std::vector<velm::catalog_animation_t> m_table;
  velm::catalog_character_t m_entry{};
};

}  // namespace keln::velmscope::testing
