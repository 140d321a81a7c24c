#pragma once
// Square N x N matrices stored row by row: element (row r, column c) is
// component r * N + c. Matrices act on column vectors (p' = M p), so a 4 x 4
// affine transform keeps its translation in components 3, 7 and 11 and its
// last row is (0, 0, 0, 1). Matrices handed to OpenGL must be transposed.

namespace keln {

template <typename T, unsigned N>
struct mat_sq_t {
  T m[N * N] = {};  // components, row by row; default-constructed to zero

  mat_sq_t() = default;

  // s on the diagonal, 0 elsewhere: mat_sq_t(1) is the identity.
  explicit mat_sq_t(T s) {
    for (unsigned i = 0; i < N; ++i) m[i * N + i] = s;
  }

  T& operator[](unsigned i) { return m[i]; }
  const T& operator[](unsigned i) const { return m[i]; }
  T& at(unsigned row, unsigned col) { return m[row * N + col]; }
  const T& at(unsigned row, unsigned col) const { return m[row * N + col]; }
};

using mat3_t = mat_sq_t<float, 3>;
using mat4_t = mat_sq_t<float, 4>;

static_assert(sizeof(mat4_t) == 16 * sizeof(float), "mat_sq_t must hold its components only");

}  // namespace keln
