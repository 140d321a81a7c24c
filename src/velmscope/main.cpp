// Velmscope: the viewer's entry point. The window system takes its own
// options from the command line first; what is left names the characters
// to show (none: the built-in three).
//
// Exit status: 0 after the main loop, 1 when a given character cannot be
// shown, 2 for an option the window system does not know.
#include <GL/freeglut.h>

#include <string>
#include <vector>

#include "kelncore/system/messages.h"
#include "kelncore/system/startup.h"
#include "velmscope/viewer.h"

int main(int argc, char** argv) {
  glutInit(&argc, argv);
  keln::core_startup(1);
  const std::vector<std::string> characters(argv + 1, argv + argc);
  for (const std::string& argument : characters)
    if (argument.size() > 1 && argument[0] == '-') {
      keln::msg_error("unknown option %s; usage: velmscope [window-system options] [CHARACTER...]", argument.c_str());
      keln::core_shutdown();
      return 2;
    }
  const int result = keln::velmscope::run_viewer(characters);
  keln::core_shutdown();
  return result;
}
