// Velmscope: the viewer's entry point. The command line goes to the window
// system only.
#include <GL/freeglut.h>

#include "kelncore/system/startup.h"
#include "velmscope/viewer.h"

int main(int argc, char** argv) {
  glutInit(&argc, argv);
  keln::core_startup(1);
  const int result = keln::velmscope::run_viewer();
  keln::core_shutdown();
  return result;
}
