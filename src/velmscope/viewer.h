// The viewer window: its creation, callbacks and main loop.
#pragma once

#include "velmscope/viewer_settings.h"

namespace keln::velmscope {

// The settings of this run, changed by the commands between frames.
extern viewer_settings_t settings;

// Opens the 1024 x 768 window titled "Velmscope" (double-buffered RGB with a
// depth buffer), builds the three characters from their documents below the
// working directory, and runs the window system's main loop until the "Q"
// command or the closing of the window; both return here, and the characters
// are destroyed, the last one first. The window system must be initialised
// (glutInit) and the core started. Returns 0, the exit code.
int run_viewer();

}  // namespace keln::velmscope
