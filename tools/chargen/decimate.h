// Reduces a closed mesh to a vertex budget by collapsing its shortest
// edges, which also removes the slivers that the grid extraction leaves.
#pragma once

#include "mesh.h"

namespace keln::chargen {

// Collapses edges, shortest first, into their midpoints until at most
// max_vertices remain or no edge may collapse. An edge collapses only when
// the mesh stays a closed 2-manifold (the two end points share exactly the
// two opposite vertices, which keep at least four neighbours each) and no
// surrounding triangle turns over (its normal may turn by at most about 70
// degrees). The winding of the surviving triangles is kept. Unused vertices
// are removed; normals and skin are cleared.
void decimate(mesh_t& mesh, size_t max_vertices);

}  // namespace keln::chargen
