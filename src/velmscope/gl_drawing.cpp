#include "velmscope/gl_drawing.h"

#include <GL/freeglut.h>

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

void draw_overlay_text(const overlay_text_t& item) {
  float projection[16];
  overlay_projection(projection);

  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glDisable(GL_LIGHTING);
  load_row_major(projection);
  glColor4fv(item.colour);
  glRasterPos2f(item.x, item.y);
  glutBitmapString(GLUT_BITMAP_HELVETICA_10, reinterpret_cast<const unsigned char*>(item.text));
  glPopMatrix();
  glEnable(GL_LIGHTING);
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
}

}  // namespace keln::velmscope
