// The triangle mesh of a character's skin while the generator shapes it.
#pragma once

#include <array>
#include <vector>

#include "dmath.h"

namespace keln::chargen {

// Up to four bone influences of one vertex; weights sum to 1.
struct influences_t {
  int count = 0;
  std::array<int, 4> bone{};
  std::array<double, 4> weight{};
};

struct mesh_t {
  std::vector<dvec3> positions;
  std::vector<dvec3> normals;  // unit, pointing out of the body
  // Vertex indices, wound clockwise as seen from outside: the
  // right-hand-rule normal of every triangle points into the body.
  std::vector<std::array<int, 3>> triangles;
  std::vector<influences_t> skin;
};

// The vertices that share an edge with each vertex, in increasing order.
std::vector<std::vector<int>> vertex_neighbours(const mesh_t& mesh);

// Recomputes normals: per vertex, the area-weighted sum of the outward
// normals of its triangles, made unit length.
void compute_normals(mesh_t& mesh);

// Taubin smoothing (alternating shrink and inflate steps of the uniform
// Laplacian), which removes the grid's faceting without shrinking the body.
void smooth(mesh_t& mesh, int iterations);

// Where the surface folds over (a triangle facing against the normal of
// one of its vertices), moves that triangle's vertices halfway toward the
// mean of their neighbours and recomputes the normals, for at most rounds
// rounds. Returns the number of folded triangles left (0 on success).
size_t relax_folds(mesh_t& mesh, int rounds);

// Signed volume by the right-hand rule (negative for this winding).
double signed_volume(const mesh_t& mesh);

}  // namespace keln::chargen
