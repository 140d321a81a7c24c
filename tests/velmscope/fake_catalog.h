// A catalog of named characters for the shell's tests: it records what the
// shell asks of each character.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "velmscope/model_catalog.h"

namespace keln::velmscope::testing {

struct fake_model_t {
  std::string name;
  std::string base = "NONE";
  std::string side = "NONE";
  int next_base_calls = 0;
  int next_side_calls = 0;
  std::vector<float> advances;  // every step passed to advance, in order
  difference_readout_t readout;
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
  void advance(std::uint32_t model, float step) override { models.at(model).advances.push_back(step); }
  difference_readout_t difference_readout(std::uint32_t model) const override { return models.at(model).readout; }
};

}  // namespace keln::velmscope::testing
