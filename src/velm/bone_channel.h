#pragma once
// One animated bone of a keyframe motion: evenly spaced key transforms (the
// array elements), key k at time k · duration / (count - 1).

#include <cstdint>

#include "kelncore/collections/arrays/arrays_dyn.h"
#include "velm/bone.h"
#include "velm/bone_node.h"

namespace keln::velm {

class bone_channel_t : public array_dyn_t<bone_t> {
 public:
  // The channel at time T into out:
  //   frame = duration / (n - 1), x = T / frame (both rounded to float),
  //   k = whole part of x modulo (n - 1) (for x >= 0 taken from the low 32
  //   bits of the 64-bit whole part), f = fmod(x, 1),
  //   out = interpolate(key k, key k + 1, f) (bone.h).
  // Negative times wrap like positive ones: the whole part is taken toward
  // minus infinity and f lies in [0, 1]. One key, a duration that is zero,
  // negative or not finite, or an x that is not finite give the first key;
  // no key gives the default bone_t. Not reentrant (it keeps the constants
  // derived from duration and key count, recomputed when either changes).
  void sample(float time, bone_t& out) const;

  std::uint32_t bone = no_bone;  // skeleton bone driven, no_bone when the skeleton has none of that name
  float duration = 0.0f;         // time from the first to the last key

 private:
  // What sampling derives from the key count and the duration alone.
  struct sampling_constants_t {
    std::uint32_t count = 0;          // key count they were made for
    std::uint32_t duration_bits = 0;  // bit pattern of the duration they were made for
    bool usable = false;              // at least two keys and a duration above 0
    float frame = 0.0f;               // duration / (count - 1)
    std::uint64_t modulo_magic = 0;   // reciprocal of count - 1 for the remainder by multiplication
  };
  void refresh_sampling_constants(std::uint32_t duration_bits) const;

  mutable sampling_constants_t m_sampling;
};

}  // namespace keln::velm
