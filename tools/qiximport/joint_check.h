// The check of an import: the written documents, loaded back by the
// animation library's own loaders, must put every joint where the source
// scene puts it at every key. The source side is computed here by a path of
// its own: the node tree walked from the root with assimp's matrices and
// its rotation interpolation, independent of the resampling that wrote the
// keys.
#pragma once

#include <assimp/scene.h>
#include <string>

#include "import_animation.h"
#include "import_skeleton.h"

namespace keln::qiximport {

// Largest joint difference allowed, as a fraction of the rest height.
constexpr double joint_tolerance = 1e-4;

// The rest height: the largest extent of the box around the rest joints
// (whatever axis points up in the source); 1 for a skeleton of one point.
double rest_height(const import_skeleton_t& skeleton);

// Global joint positions of the source scene with the animation at ticks,
// one per skeleton bone, in output units.
std::vector<dvec3_t> source_joints(const aiAnimation& animation, double ticks, const import_skeleton_t& skeleton,
                                   double scale);

// Loads skeleton_path and clip_path with the animation library and returns
// the largest distance, over every key and bone, between the loaded motion's
// joints and source_joints at the key's time; in out. False with problem set
// when the documents do not load into the skeleton and keys written.
bool largest_joint_difference(const std::string& skeleton_path, const std::string& clip_path,
                              const import_clip_t& clip, const import_skeleton_t& skeleton, double scale,
                              double& out, std::string& problem);

}  // namespace keln::qiximport
