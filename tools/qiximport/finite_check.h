// Finds numbers that are not finite (NaN, infinities) anywhere the importer
// reads them: node transforms, animation keys and their times, ticks and
// durations, mesh positions and normals, bone offsets and weights.
#pragma once

#include <assimp/scene.h>
#include <string>

namespace keln::qiximport {

// Where the first such number is, for a message ("node \"Hips\"",
// "animation 0, channel \"Hips\"", "mesh 2"); empty when every number is
// finite.
std::string find_non_finite(const aiScene& scene);

}  // namespace keln::qiximport
