// A character: its rig and skin as built, and its animations.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "clip.h"
#include "mesh.h"
#include "rig.h"

namespace keln::chargen {

// How a character is modelled: the rig as designed (any size and
// position), the parameters of its skin, and its animations, which are
// made for the rig after it has been brought to its final size.
struct character_design_t {
  std::string directory;  // below the data directory: "hunter"
  std::string stem;       // name of the skeleton and geometry documents
  rig_t rig;
  double spacing;            // grid spacing of the polygonisation
  double blend;              // smooth-minimum radius of the field
  double weight_falloff;     // distance over which joints share vertices
  int smoothing_iterations;  // Taubin iterations on the extracted surface
  size_t max_vertices;       // vertex budget of the skin
  std::function<std::vector<clip_t>(const rig_t&)> make_clips;
};

struct character_t {
  std::string directory, stem;
  rig_t rig;    // final size: feet on y = 0, centred on x and z, extent 1
  mesh_t mesh;  // skin in the same space, with normals and weights
  std::vector<clip_t> clips;
};

// Builds the skin from the design's rig, then scales and moves rig and skin
// together so that the skin's largest extent is 1, its lowest point is on
// y = 0 and its bounding box is centred on x = 0 and z = 0.
character_t build_character(const character_design_t& design);

// The three characters as designed.
character_design_t hunter_design();
character_design_t horse_design();
character_design_t elephant_design();

}  // namespace keln::chargen
