#include "velmscope/scene_drawing.h"

#include <GL/freeglut.h>

#include "kelncore/math/mat4_routines.h"

namespace keln::velmscope {

namespace {

const GLfloat light_direction[4] = {0.0f, 1.0f, 0.0f, 0.0f};  // w 0: a direction, from above
const GLfloat light_ambient[4] = {0.1f, 0.1f, 0.1f, 1.0f};
const GLfloat light_diffuse[4] = {1.2f, 1.2f, 1.2f, 1.0f};
const GLfloat light_specular[4] = {0.0f, 0.0f, 0.0f, 1.0f};

const GLfloat bone_colour[4] = {1.0f, 0.1f, 0.1f, 1.0f};

// The unit cone of a bone: height and base radius 0.01 along +z.
constexpr GLdouble cone_size = 0.01;
constexpr GLint cone_slices = 32;
constexpr GLint cone_stacks = 1;

// The mesh's triangles over skinned positions and normals, filled or as
// lines, in one colour or with a colour per vertex.
void draw_mesh(const velm::skinned_mesh_t& mesh, const array_t<vec3_t>& positions, const array_t<vec3_t>& normals,
               bool wireframe, const GLfloat colour[4], const array_t<vertex_colour_t>* colours) {
  glPolygonMode(GL_FRONT_AND_BACK, wireframe ? GL_LINE : GL_FILL);
  glEnable(GL_BLEND);
  glEnable(GL_CULL_FACE);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glColor4fv(colour);
  glVertexPointer(3, GL_FLOAT, 0, positions.data());
  glNormalPointer(GL_FLOAT, 0, normals.data());
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_NORMAL_ARRAY);
  if (colours) {
    glColorPointer(4, GL_UNSIGNED_BYTE, 0, colours->data());
    glEnableClientState(GL_COLOR_ARRAY);
  }
  glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(mesh.indices.size()), GL_UNSIGNED_SHORT, mesh.indices.data());
  if (colours) glDisableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_NORMAL_ARRAY);
  glDisableClientState(GL_VERTEX_ARRAY);
  glDisable(GL_CULL_FACE);
}

}  // namespace

void set_scene_state() {
  glEnable(GL_NORMALIZE);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LESS);
  glFrontFace(GL_CW);

  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glLightfv(GL_LIGHT0, GL_POSITION, light_direction);
  glPopMatrix();

  glLightfv(GL_LIGHT0, GL_AMBIENT, light_ambient);
  glLightfv(GL_LIGHT0, GL_DIFFUSE, light_diffuse);
  glLightfv(GL_LIGHT0, GL_SPECULAR, light_specular);

  glEnable(GL_LIGHT0);
  glEnable(GL_LIGHTING);
  glEnable(GL_COLOR_MATERIAL);
  glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
}

void scene_view_t::set_camera(const viewer_settings_t& settings) { camera_view(m_view, settings.camera_zoom); }

void scene_view_t::load_model_view() const {
  mat4_t model_view, column_major;
  model_view_matrix(model_view, m_view, m_world, m_local);
  glMatrixMode(GL_MODELVIEW);
  mat4_transpose(column_major, model_view);
  glLoadMatrixf(column_major.m);
}

void scene_view_t::draw_model(const velmscope_model_t& model, const viewer_settings_t& settings,
                              const array_t<vertex_colour_t>* bspline_colours, const stage_framing_t* framing) {
  // A character whose geometry did not load has no skin to draw, and is
  // drawn as its skeleton instead.
  const velm::skinned_mesh_t* skin = settings.show_skin ? model.mesh() : nullptr;
  const bool skeleton = settings.show_skeleton || !model.mesh();
  const GLfloat skin_colour[4] = {0.2f, 0.2f, 1.0f, skin_alpha(settings.show_skeleton)};
  if (settings.render_mode & RENDER_BSPLINE) {
    place_instance(model.bspline_instance(), playback_t::bspline, framing, skeleton, settings);
    if (skin) draw_mesh(*skin, skin->skinned_positions, skin->skinned_normals, settings.wireframe_skin, skin_colour,
                        bspline_colours);
  }
  if (settings.render_mode & RENDER_KEYFRAME) {
    place_instance(model.keyframe_instance(), playback_t::keyframe, framing, skeleton, settings);
    if (skin) draw_mesh(*skin, model.keyframe_positions(), model.keyframe_normals(), settings.wireframe_skin, skin_colour,
                        nullptr);
  }
}

void scene_view_t::place_instance(const velm::skeletal_instance_t& instance, playback_t playback,
                                  const stage_framing_t* framing, bool skeleton, const viewer_settings_t& settings) {
  if (framing)
    framed_world(m_world, framed_position(playback, settings.render_mode, *framing), settings.model_angle, *framing);
  else
    instance_world(m_world, instance_position(playback, settings.render_mode), settings.model_angle);
  load_model_view();
  if (skeleton) draw_skeleton(instance);
}

void scene_view_t::draw_skeleton(const velm::skeletal_instance_t& instance) {
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  bone_cone_matrices(instance.skeleton(), instance.pose(), m_cones);
  for (const mat4_t& cone : m_cones) {
    m_local = cone;
    load_model_view();
    glDisable(GL_BLEND);
    glColor4fv(bone_colour);
    glutSolidCone(cone_size, cone_size, cone_slices, cone_stacks);
  }
  m_local = mat4_t(1.0f);
  load_model_view();
}

}  // namespace keln::velmscope
