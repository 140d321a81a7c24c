// The difference colouring: a colour per skin vertex from its distance to the
// same vertex of the other playback's skin.
#pragma once

#include <cstdint>

#include "kelncore/collections/arrays/arrays_dyn.h"
#include "kelncore/math/vec.h"

namespace keln::velmscope {

// RGBA, each component in [0, 1].
struct colour_t {
  float r = 0.0f;
  float g = 0.0f;
  float b = 0.0f;
  float a = 0.0f;
};

// A vertex colour as OpenGL reads it from an unsigned-byte colour array: the
// bytes red, green, blue, alpha in memory order, each the component times
// 255, rounded.
using vertex_colour_t = std::uint32_t;

// The scale reaches its end (red) at this fraction of the rest height.
constexpr float difference_full_scale = 0.02f;

// The colour scale at fraction x of its full scale: the skin's blue (0.2,
// 0.2, 1.0) at 0, yellow (1, 1, 0) at 0.5, red (1, 0, 0) at 1 and above,
// linear in between; alpha as given. A negative x counts as 0.
inline colour_t difference_colour(float x, float alpha) {
  const float twice = 2.0f * x;
  const float rise = twice < 0.0f ? 0.0f : (twice > 1.0f ? 1.0f : twice);  // blue to yellow
  const float fall = twice - 1.0f < 0.0f ? 0.0f : (twice - 1.0f > 1.0f ? 1.0f : twice - 1.0f);  // yellow to red
  return {0.2f + 0.8f * rise, 0.2f + 0.8f * rise - fall, 1.0f - rise, alpha};
}

// colours[v] = difference_colour(|coloured[v] - reference[v]| / full_scale,
// alpha) as a vertex colour, for every vertex of coloured; colours is resized
// to its count (no allocation once it has it). reference must have at least
// as many vertices (checked: the process ends otherwise) and full_scale must
// be positive.
void colour_differences(array_dyn_t<vertex_colour_t>& colours, const array_t<vec3_t>& coloured,
                        const array_t<vec3_t>& reference, float full_scale, float alpha);

}  // namespace keln::velmscope
