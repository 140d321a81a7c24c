#include "velmscope/viewer.h"

#include <GL/freeglut.h>

#include <memory>

#include "kelncore/system/clock.h"
#include "kelncore/system/messages.h"
#include "velmscope/commands.h"
#include "velmscope/frame_clock.h"
#include "velmscope/frame_step.h"
#include "velmscope/gl_drawing.h"
#include "velmscope/given_characters.h"
#include "velmscope/overlay.h"
#include "velmscope/playback_step.h"
#include "velmscope/scene_drawing.h"
#include "velmscope/velmscope_catalog.h"

namespace keln::velmscope {

viewer_settings_t settings;

namespace {

// The characters; built once the window exists, destroyed when the main
// loop has returned.
velmscope_catalog_t models;
// The characters given on the command line (none: the built-in ones) and the
// framing of each model, kept only for given characters.
std::unique_ptr<given_catalog_t> given;
std::vector<stage_framing_t> framings;
scene_view_t scene;
frame_step_t frame_step;
frame_clock_t frame_clock;
overlay_t overlay;

void reshape(int width, int height) { set_scene_projection(width, height); }

void display() {
  clear_view(settings.background_index);
  set_scene_state();
  scene.set_camera(settings);

  // The clock runs on while paused, so that resuming does not jump.
  const float running_step = frame_clock.step(time_us(), settings.time_scale);
  if (models.size() != 0) {
    velmscope_model_t& model = models.model(settings.current_model);
    models.advance(settings.current_model, playback_step(settings, running_step, model.base_key_interval()));
    frame_step.prepare(model, settings);
    scene.draw_model(model, settings, frame_step.bspline_colours(),
                     framings.empty() ? nullptr : &framings[settings.current_model]);
  }

  overlay.build(settings, &models);
  for (const overlay_text_t& item : overlay.items()) draw_overlay_text(item);
  if (settings.difference_colouring) draw_colour_legend(colour_legend_box);

  glutSwapBuffers();
}

void idle() { glutPostRedisplay(); }

void keyboard(unsigned char key, int /*x*/, int /*y*/) {
  switch (apply_key(key, settings, &models)) {
    case window_request_t::full_screen:
      glutFullScreen();
      break;
    case window_request_t::leave_main_loop:
      glutLeaveMainLoop();
      break;
    case window_request_t::none:
      break;
  }
}

void mouse(int /*button*/, int state, int x, int y) {
  if (state == GLUT_DOWN) mouse_press(settings, x, y);
}

void motion(int x, int y) { mouse_drag(settings, x, y); }

// Loads the given characters and frames them; false, reported, when a path
// names no character or a character's skeleton does not load.
bool load_given(const std::vector<std::string>& paths) {
  std::vector<given_character_t> found(paths.size());
  for (std::size_t c = 0; c < paths.size(); ++c) {
    std::string problem;
    if (!find_given_character(paths[c], found[c], problem)) {
      msg_error("%s: %s", paths[c].c_str(), problem.c_str());
      return false;
    }
  }
  given = std::make_unique<given_catalog_t>(std::move(found));
  models.build(given->entries(), given->count());
  bool loaded = true;
  for (std::uint32_t c = 0; c < models.size(); ++c) {
    velmscope_model_t& model = models.model(c);
    if (model.keyframe_instance().bone_count() == 0) {
      msg_error("%s: nothing could be loaded", paths[c].c_str());
      loaded = false;
    }
    // The pose at the start of the first animation places the character.
    model.keyframe_instance().update();
    framings.push_back(rest_framing(model.keyframe_instance(), model.mesh()));
  }
  return loaded;
}

}  // namespace

int run_viewer(const std::vector<std::string>& characters) {
  if (!characters.empty() && !load_given(characters)) {
    models.clear();
    return 1;
  }

  glutInitWindowSize(1024, 768);
  glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
  // Closing the window returns from the main loop instead of ending the
  // process, so that shutdown runs.
  glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_GLUTMAINLOOP_RETURNS);
  glutCreateWindow("Velmscope");

  glutReshapeFunc(reshape);
  glutDisplayFunc(display);
  glutIdleFunc(idle);
  glutKeyboardFunc(keyboard);
  glutMouseFunc(mouse);
  glutMotionFunc(motion);

  if (characters.empty()) models.build();
  glutMainLoop();
  models.clear();
  return 0;
}

}  // namespace keln::velmscope
