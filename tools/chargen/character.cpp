#include "character.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "decimate.h"
#include "field.h"
#include "polygonise.h"
#include "skin_weights.h"

namespace keln::chargen {

namespace {

// Scale and shift that give the mesh its final size and placement.
void normalisation(const mesh_t& mesh, double& scale, dvec3& shift) {
  dvec3 lo = mesh.positions.front(), hi = lo;
  for (dvec3 p : mesh.positions) {
    lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
    hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
  }
  scale = 1.0 / std::max({hi.x - lo.x, hi.y - lo.y, hi.z - lo.z});
  shift = {-(lo.x + hi.x) * 0.5 * scale, -lo.y * scale, -(lo.z + hi.z) * 0.5 * scale};
}

}  // namespace

character_t build_character(const character_design_t& design) {
  character_t c;
  c.directory = design.directory;
  c.stem = design.stem;
  c.rig = design.rig;
  field_t field(c.rig, design.blend);
  c.mesh = polygonise(field, design.spacing);
  smooth(c.mesh, design.smoothing_iterations);
  decimate(c.mesh, design.max_vertices);
  smooth(c.mesh, 2);
  compute_normals(c.mesh);
  if (relax_folds(c.mesh, 20) != 0) {
    std::fprintf(stderr, "chargen: %s: the skin folds over\n", design.directory.c_str());
    std::abort();
  }
  assign_weights(c.mesh, c.rig, field, design.weight_falloff, 3);

  double scale;
  dvec3 shift;
  normalisation(c.mesh, scale, shift);
  for (dvec3& p : c.mesh.positions) p = p * scale + shift;
  c.rig.transform(scale, shift);
  c.clips = design.make_clips(c.rig);
  return c;
}

}  // namespace keln::chargen
