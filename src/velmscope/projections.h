// The viewer's two projection matrices. Matrices here are 4 x 4 floats stored
// row by row, acting on column vectors (translation in elements 3, 7 and 11);
// OpenGL needs them transposed.
#pragma once

namespace keln::velmscope {

// The overlay projection, that of glOrtho(0, 1024, 768, 0, -1, 1): overlay
// space (x right from 0 to 1024, y down from 0 to 768) onto the whole
// viewport.
void overlay_projection(float out[16]);

// The 3D view's perspective: a symmetric frustum with near plane 0.1, far
// plane 5000, a horizontal field of view of 20 degrees and the aspect ratio
// fixed at 1 (a window that is not square stretches the picture), as
// glFrustum(-A, A, -A, A, 0.1, 5000) with A = 0.1 tan(10 degrees).
void scene_projection(float out[16]);

}  // namespace keln::velmscope
