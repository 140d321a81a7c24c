#include "velmscope/gl_drawing.h"

#include <GL/freeglut.h>

#include "velmscope/difference_colours.h"
#include "velmscope/projections.h"
#include "velmscope/viewer_settings.h"

namespace keln::velmscope {

void clear_view(std::uint32_t background_index) {
  const float* colour = background_colour(background_index);
  glClearColor(colour[0], colour[1], colour[2], colour[3]);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void load_row_major(const float matrix[16]) {
  float column_major[16];
  for (int row = 0; row < 4; ++row) {
    for (int column = 0; column < 4; ++column) column_major[column * 4 + row] = matrix[row * 4 + column];
  }
  glLoadMatrixf(column_major);
}

void set_scene_projection(int width, int height) {
  float projection[16];
  scene_projection(projection);
  glMatrixMode(GL_PROJECTION);
  load_row_major(projection);
  glMatrixMode(GL_MODELVIEW);
  glViewport(0, 0, width, height);
}

namespace {

// Enters the overlay projection with lighting off, then leaves it restoring
// both matrix stacks, the model-view matrix mode and lighting.
void begin_overlay() {
  float projection[16];
  overlay_projection(projection);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glDisable(GL_LIGHTING);
  load_row_major(projection);
}

void end_overlay() {
  glPopMatrix();
  glEnable(GL_LIGHTING);
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
}

}  // namespace

void draw_overlay_text(const overlay_text_t& item) {
  begin_overlay();
  glColor4fv(item.colour);
  glRasterPos2f(item.x, item.y);
  glutBitmapString(GLUT_BITMAP_HELVETICA_10, reinterpret_cast<const unsigned char*>(item.text));
  end_overlay();
}

void draw_colour_legend(const overlay_box_t& box) {
  begin_overlay();
  glDisable(GL_DEPTH_TEST);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  // Two quads, blue to yellow and yellow to red: the scale is linear on each.
  glBegin(GL_QUAD_STRIP);
  for (const float x : {0.0f, 0.5f, 1.0f}) {
    const colour_t colour = difference_colour(x, 1.0f);
    glColor4f(colour.r, colour.g, colour.b, colour.a);
    const float at = box.x0 + x * (box.x1 - box.x0);
    glVertex2f(at, box.y0);
    glVertex2f(at, box.y1);
  }
  glEnd();
  glEnable(GL_DEPTH_TEST);
  end_overlay();
}

}  // namespace keln::velmscope
