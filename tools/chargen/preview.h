// Preview pictures of a character, drawn in software: flat-lit skin over a
// grey ground, seen from the front-left and a little above.
#pragma once

#include <string>

#include "character.h"

namespace keln::chargen {

// The skin deformed by pose (linear blend skinning in double precision).
mesh_t posed_mesh(const character_t& c, const rig_pose_t& pose);

// Draws mesh into a width x height binary PPM file. Returns false when the
// file cannot be written.
bool write_preview(const mesh_t& mesh, int width, int height, const std::string& path);

}  // namespace keln::chargen
