// The viewer window: its creation, callbacks and main loop.
#pragma once

#include <string>
#include <vector>

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
//
// With characters (folders or skeleton documents, given_characters.h) those
// are shown instead, framed by their rest poses (stage_framing.h); they are
// loaded before the window opens. A path that names no character, or one
// whose skeleton does not load, is reported ("<path>: <problem>") and the
// viewer returns 1 without opening the window.
int run_viewer(const std::vector<std::string>& characters = {});

}  // namespace keln::velmscope
