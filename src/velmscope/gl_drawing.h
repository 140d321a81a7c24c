// The OpenGL side of the viewer shell: clearing the view, loading matrices and
// drawing the overlay's text. Needs a current OpenGL context.
#pragma once

#include <cstdint>

#include "velmscope/overlay.h"

namespace keln::velmscope {

// Clears the colour and depth buffers; the colour is the background colour of
// background_index.
void clear_view(std::uint32_t background_index);

// Loads a row-major matrix (projections.h) into OpenGL's current matrix,
// transposing it to OpenGL's column-major order.
void load_row_major(const float matrix[16]);

// Loads the 3D view's projection, leaves the model-view matrix mode current
// and sets the viewport to the whole window of width x height pixels.
void set_scene_projection(int width, int height);

// Draws one overlay text in the overlay projection with lighting off, leaving
// both matrix stacks and the matrix mode (model-view) as it found them, and
// lighting on.
void draw_overlay_text(const overlay_text_t& item);

// Draws the difference colouring's scale into a box of overlay space, its
// start at the left, in the same projection and state as the texts.
void draw_colour_legend(const overlay_box_t& box);

}  // namespace keln::velmscope
