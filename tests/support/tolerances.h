#pragma once
// Named tolerances of the test suite, one section per area. A comparison in a
// test uses one of these, never a bare literal, so that a tolerance loosened
// for one test is loosened on purpose.

// --- animation library and viewer (tests/velm, tests/velmscope) -------------
namespace velm_tol {

// One rounding of values of order 1 (the B-spline basis, a key blend).
constexpr float rounding = 1e-6f;
// A few float operations on values of order 1 (skinning, transforms).
constexpr float ops = 1e-5f;
// Chains of many float operations (inverses, decompositions, the camera).
constexpr float chain = 1e-4f;
// Angles in degrees from arc tangents.
constexpr float degrees = 1e-3f;
// How far a fitted rotation curve may leave unit length between keys that
// differ by less than 40 degrees.
constexpr float unit_length = 0.25f;

// Screenshots: a colour component written by OpenGL for a known colour.
constexpr int colour_byte = 2;
// Columns: where a centred character's mean column may lie off the centre.
constexpr int centring = 40;
// Columns: where side-by-side characters' mean columns may lie off theirs.
constexpr int side_by_side = 60;
// Pixels: a bounding box drawn alike twice.
constexpr int bounding_box = 4;
// Colour bytes: the green change of a translucent skin over two backgrounds.
constexpr double translucency = 8.0;

}  // namespace velm_tol
