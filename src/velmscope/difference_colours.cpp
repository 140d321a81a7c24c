#include "velmscope/difference_colours.h"

#include <cmath>

namespace keln::velmscope {

void colour_differences(array_dyn_t<colour_t>& colours, const array_t<vec3_t>& coloured,
                        const array_t<vec3_t>& reference, float full_scale, float alpha) {
  const std::uint32_t count = coloured.size();
  colours.resize(count);
  if (count == 0) return;
  (void)reference[count - 1];  // the one bounds check for the whole loop
  const vec3_t* a = coloured.data();
  const vec3_t* b = reference.data();
  colour_t* out = colours.data();
  const float inverse = 1.0f / full_scale;
  for (std::uint32_t v = 0; v < count; ++v) {
    const float dx = a[v].c[0] - b[v].c[0];
    const float dy = a[v].c[1] - b[v].c[1];
    const float dz = a[v].c[2] - b[v].c[2];
    out[v] = difference_colour(std::sqrt(dx * dx + dy * dy + dz * dz) * inverse, alpha);
  }
}

}  // namespace keln::velmscope
