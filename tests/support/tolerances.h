// Named tolerances of the tests: how far a computed value may stray from the
// expected one, and why. Compare with these, never with bare literals.
#pragma once

namespace keln::test {

// kelncore, math, documents and tools.

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

}  // namespace keln::test
