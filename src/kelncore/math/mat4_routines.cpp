#include "kelncore/math/mat4_routines.h"

#include "kelncore/math/mat4_portable.h"

namespace keln {

namespace {

// The portable table; constant-initialised, so g_mat4 is usable even by code
// that runs before core_startup (static constructors, tests).
constexpr mat4_routines_t portable_routines = {
    portable::mat4_identity,
    portable::mat4_translation,
    portable::mat4_translation_neg,
    portable::mat4_scale,
    portable::mat4_scale_uniform,
    portable::mat4_rotation_euler,
    portable::mat4_rotation_euler_inv,
    portable::mat4_from_quat,
    portable::mat4_reflection,
    portable::transform_points_proj,
    portable::transform_points,
    portable::transform_points_depth,
    portable::transform_dirs_proj,
    portable::transform_dirs,
    portable::transform_vec4,
    portable::transform_vec4,
    portable::mat4_mul,
    portable::mat4_mul_alias_a,
    portable::mat4_mul_alias_b,
    portable::mat4_transpose_inplace,
    portable::mat4_transpose,
    portable::mat4_inverse,
};

}  // namespace

mat4_routines_t g_mat4 = portable_routines;

void mat4_install_portable() { g_mat4 = portable_routines; }

}  // namespace keln
