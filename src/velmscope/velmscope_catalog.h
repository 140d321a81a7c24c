// The viewer's characters: the models built from the fixed character catalog
// (velm/catalog.h), as the viewer shell reaches them.
#pragma once

#include <cstdint>

#include "kelncore/collections/arrays/arrays_dyn.h"
#include "kelncore/collections/auto_ptr.h"
#include "velm/catalog.h"
#include "velmscope/model_catalog.h"
#include "velmscope/velmscope_model.h"

namespace keln::velmscope {

class velmscope_catalog_t : public model_catalog_t {
 public:
  velmscope_catalog_t() = default;
  velmscope_catalog_t(const velmscope_catalog_t&) = delete;
  velmscope_catalog_t& operator=(const velmscope_catalog_t&) = delete;
  ~velmscope_catalog_t() override { clear(); }

  // Creates and loads every character of characters in order and appends it:
  // the model with its name and skeleton, its mesh (none for a null geometry
  // path), each animation with its
  // base flag, then the first base animation selected. Documents are read
  // relative to the working directory; a document that does not load is
  // reported by its loader and never stops the building. Loading needs the
  // core started (file system, matrix routines).
  void build(const velm::catalog_character_t* characters, std::uint32_t count);
  // The same with the viewer's three characters.
  void build() { build(velm::catalog_characters, velm::catalog_character_count); }

  // Destroys every model, the last one first.
  void clear() { models.clear(); }

  // The model at index (checked: a bad index ends the process).
  velmscope_model_t& model(std::uint32_t index) { return *models[index]; }

  std::uint32_t size() const override { return models.size(); }
  const char* name(std::uint32_t model) const override { return models[model]->name(); }
  const char* base_animation_name(std::uint32_t model) const override { return models[model]->base_name(); }
  const char* side_animation_name(std::uint32_t model) const override { return models[model]->side_name(); }
  void next_base(std::uint32_t model) override { models[model]->next_base(); }
  void next_side(std::uint32_t model) override { models[model]->next_side(); }
  void advance(std::uint32_t model, float step) override { models[model]->advance(step); }
  difference_readout_t difference_readout(std::uint32_t model) const override;

  // The characters, in catalog order; owns them.
  array_dyn_t<auto_ptr_t<velmscope_model_t>> models;
};

}  // namespace keln::velmscope
