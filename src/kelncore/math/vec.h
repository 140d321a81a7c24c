#pragma once
// Fixed-size vectors of N components. vec_t<float,3> is a point or direction
// (x, y, z); vec_t<float,4> is also used as a rotation quaternion (w, x, y, z),
// see quat.h. The layout is exactly N consecutive components: arrays of
// vectors may be handed to code that reads them as flat floats.

namespace keln {

template <typename T, unsigned N>
struct vec_t {
  T c[N] = {};  // components; value-initialised to 0

  T& operator[](unsigned i) { return c[i]; }
  const T& operator[](unsigned i) const { return c[i]; }
};

using vec2_t = vec_t<float, 2>;
using vec3_t = vec_t<float, 3>;
using vec4_t = vec_t<float, 4>;

static_assert(sizeof(vec3_t) == 3 * sizeof(float), "vec_t must hold its components only");
static_assert(sizeof(vec4_t) == 4 * sizeof(float), "vec_t must hold its components only");

}  // namespace keln
