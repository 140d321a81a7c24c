// Turns the implicit surface into a closed triangle mesh.
#pragma once

#include "field.h"
#include "mesh.h"

namespace keln::chargen {

// Samples the field on a cubic grid of the given spacing over the field's
// bounds and extracts the zero level with marching tetrahedra (each grid
// cube cut into six tetrahedra around its main diagonal, the same cut in
// every cube). The result is closed and consistently wound: every edge
// belongs to exactly two triangles, and the right-hand-rule normal of every
// triangle points into the body. Vertices shared between neighbouring
// tetrahedra are created once. Normals and skin are left empty.
mesh_t polygonise(const field_t& field, double spacing);

}  // namespace keln::chargen
