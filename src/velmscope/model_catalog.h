// The characters as the viewer shell sees them.
#pragma once

#include <cstdint>

namespace keln::velmscope {

// The comparison of a character's two playbacks, for the overlay's readout.
struct difference_readout_t {
  double distance = 0.0;      // largest distance between the playbacks' joints now, document units
  const char* bone = "";      // the bone where it occurs; "" when they stand together
  double largest_seen = 0.0;  // largest distance since the animation selection last changed
  double rest_height = 0.0;   // the skeleton's rest height, the measure of percentages; 0 without bones
  float base_time = 0.0f;     // the selected base animation's time within its loop, seconds
};

// The shell reaches the characters only through this interface, so that it
// runs the same with none: the catalog that holds the characters implements it.
// Every index passed in is below size(). The shell treats a missing catalog
// (null pointer) like an empty one: no character name, "NONE" for both
// animations, and the commands that act on a character do nothing.
class model_catalog_t {
 public:
  virtual ~model_catalog_t() = default;

  // Number of characters.
  virtual std::uint32_t size() const = 0;

  // Texts for the overlay; they stay valid until the catalog changes.
  virtual const char* name(std::uint32_t model) const = 0;
  // Name of the selected base / side animation, or "NONE" when none is.
  virtual const char* base_animation_name(std::uint32_t model) const = 0;
  virtual const char* side_animation_name(std::uint32_t model) const = 0;

  // Selects the next base animation (cycling) / the next side animation
  // (cycling through "none").
  virtual void next_base(std::uint32_t model) = 0;
  virtual void next_side(std::uint32_t model) = 0;

  // Advances every animation of the character by step scaled seconds.
  virtual void advance(std::uint32_t model, float step) = 0;

  // The character's readout as its last frame measured it.
  virtual difference_readout_t difference_readout(std::uint32_t model) const = 0;
};

// Number of characters of a catalog that may be missing.
inline std::uint32_t model_count(const model_catalog_t* catalog) {
  return catalog ? catalog->size() : 0;
}

}  // namespace keln::velmscope
