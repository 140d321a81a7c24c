// Named tolerances of the tests: how far a computed value may stray from the
// expected one, and why. Compare with these, never with bare literals.
#pragma once

namespace keln::test {

// Results that must be identical: the same operations in the same order.
constexpr float tol_none = 0.0f;
// Single rounding-level agreement of float values of order 1.
constexpr float tol_exact = 1e-6f;
// A few float operations on values of order 1 (products, rotations, skinning).
constexpr float tol_float = 1e-5f;
// Chains of many float operations (inverse, decomposition round trips).
constexpr float tol_chain = 1e-4f;
// A few double operations on values of order 1.
constexpr double tol_double = 1e-12;
// Positions of the generated characters, in units of their height of 1:
// a millimetre of a 1 m character.
constexpr float tol_character = 1e-3f;
// Angles in degrees from arc tangents.
constexpr float tol_degrees = 1e-3f;
// How far a fitted rotation curve may leave unit length between keys that
// differ by less than 40 degrees.
constexpr float tol_unit_length = 0.25f;

// Screenshots: a colour component written by OpenGL for a known colour.
constexpr int tol_colour_byte = 2;
// Columns: where a centred character's mean column may lie off the centre.
constexpr int tol_centring = 40;
// Columns: where side-by-side characters' mean columns may lie off theirs.
constexpr int tol_side_by_side = 60;
// Pixels: a bounding box drawn alike twice.
constexpr int tol_bounding_box = 4;
// Colour bytes: the green change of a translucent skin over two backgrounds.
constexpr double tol_translucency = 8.0;

}  // namespace keln::test
