#include "velmscope/projections.h"

#include <cmath>

namespace keln::velmscope {

void overlay_projection(float out[16]) {
  // glOrtho(left 0, right 1024, bottom 768, top 0, near -1, far 1).
  const float left = 0.0f, right = 1024.0f, bottom = 768.0f, top = 0.0f;
  const float near_z = -1.0f, far_z = 1.0f;
  for (int i = 0; i < 16; ++i) out[i] = 0.0f;
  out[0] = 2.0f / (right - left);
  out[3] = -(right + left) / (right - left);
  out[5] = 2.0f / (top - bottom);
  out[7] = -(top + bottom) / (top - bottom);
  out[10] = -2.0f / (far_z - near_z);
  out[11] = -(far_z + near_z) / (far_z - near_z);
  out[15] = 1.0f;
}

void scene_projection(float out[16]) {
  const float near_z = 0.1f;
  const float far_z = 5000.0f;
  const float half_fov = 10.0f * 0.017453293f;  // radians
  // The aspect ratio comes from the fixed rectangle (-1, 1)..(1, -1), not from
  // the window.
  const float aspect = 2.0f / 2.0f;
  const float half_width = near_z * std::tan(half_fov);
  const float half_height = half_width / aspect;
  for (int i = 0; i < 16; ++i) out[i] = 0.0f;
  out[0] = near_z / half_width;
  out[5] = near_z / half_height;
  out[10] = (far_z + near_z) / (near_z - far_z);
  out[11] = 2.0f * far_z * near_z / (near_z - far_z);
  out[14] = -1.0f;
}

}  // namespace keln::velmscope
