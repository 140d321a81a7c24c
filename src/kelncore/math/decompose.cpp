#include "kelncore/math/decompose.h"

#include <cmath>

namespace keln {

namespace {

// 3 x 3 double matrix, a[row][col].
struct m3_t {
  double a[3][3] = {};
};

// Quaternion in the internal order of the decomposition: vector part first.
struct quat_xyzw_t {
  double x = 0, y = 0, z = 0, w = 1;
};

// Stop of the Newton iteration: the 1-norm of the last change is at most
// this fraction of the 1-norm of the current iterate.
constexpr double newton_tolerance = 1e-6;
// Guards against a run-away iteration on non-finite input; scaled Newton
// converges in well under ten steps for any finite matrix.
constexpr int newton_max_iterations = 64;
constexpr int jacobi_max_sweeps = 20;

m3_t identity3() {
  m3_t m;
  for (int i = 0; i < 3; ++i) m.a[i][i] = 1.0;
  return m;
}

m3_t mul(const m3_t& x, const m3_t& y) {
  m3_t r;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) r.a[i][j] = x.a[i][0] * y.a[0][j] + x.a[i][1] * y.a[1][j] + x.a[i][2] * y.a[2][j];
  return r;
}

m3_t transpose(const m3_t& x) {
  m3_t r;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) r.a[i][j] = x.a[j][i];
  return r;
}

// Maximum absolute column sum.
double norm_one(const m3_t& x) {
  double best = 0.0;
  for (int j = 0; j < 3; ++j) {
    const double sum = std::fabs(x.a[0][j]) + std::fabs(x.a[1][j]) + std::fabs(x.a[2][j]);
    if (sum > best) best = sum;
  }
  return best;
}

// Maximum absolute row sum.
double norm_inf(const m3_t& x) { return norm_one(transpose(x)); }

// Cofactor matrix (the transposed adjugate): det(x) · x⁻ᵀ.
m3_t cofactors(const m3_t& x) {
  m3_t c;
  for (int i = 0; i < 3; ++i) {
    const int i1 = (i + 1) % 3, i2 = (i + 2) % 3;
    for (int j = 0; j < 3; ++j) {
      const int j1 = (j + 1) % 3, j2 = (j + 2) % 3;
      c.a[i][j] = x.a[i1][j1] * x.a[i2][j2] - x.a[i1][j2] * x.a[i2][j1];
    }
  }
  return c;
}

// Householder reflection H (symmetric, orthogonal, det -1) that maps the
// direction of the non-zero vector v onto sign · e_axis; the sign is chosen
// against cancellation and returned.
m3_t reflector_to_axis(const double v[3], int axis, double& sign) {
  const double len = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
  double w[3] = {v[0] / len, v[1] / len, v[2] / len};
  const double s = w[axis] >= 0.0 ? 1.0 : -1.0;
  w[axis] += s;
  sign = -s;
  const double ww = w[0] * w[0] + w[1] * w[1] + w[2] * w[2];
  m3_t h = identity3();
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) h.a[i][j] -= 2.0 * w[i] * w[j] / ww;
  return h;
}

// Index (row, col) of the entry of largest magnitude; false when x is zero.
bool largest_entry(const m3_t& x, int& row, int& col) {
  double best = 0.0;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      if (std::fabs(x.a[i][j]) > best) {
        best = std::fabs(x.a[i][j]);
        row = i;
        col = j;
      }
  return best > 0.0;
}

// Rotation Q with Qᵀ x symmetric for x of rank at most 1 (x = σ a bᵀ): Q
// maps b onto a. The identity for the zero matrix.
m3_t rank1_rotation(const m3_t& x) {
  int row = 0, col = 0;
  if (!largest_entry(x, row, col)) return identity3();
  const double a[3] = {x.a[0][col], x.a[1][col], x.a[2][col]};
  double b[3] = {x.a[row][0], x.a[row][1], x.a[row][2]};
  // Orient b so that aᵀ x b > 0: the stretch along b is then positive.
  if (x.a[row][col] < 0.0)
    for (double& c : b) c = -c;
  double sign_a = 1.0, sign_b = 1.0;
  const m3_t ha = reflector_to_axis(a, 0, sign_a);
  const m3_t hb = reflector_to_axis(b, 0, sign_b);
  // hb b = sign_b e1 and ha e1 = sign_a a; d keeps the sign of e1 right and
  // the determinant +1.
  m3_t d = identity3();
  d.a[0][0] = d.a[1][1] = sign_a * sign_b;
  return mul(ha, mul(d, hb));
}

// Rotation Q with Qᵀ x symmetric for a singular x whose cofactor matrix is
// c. Rank 2: reflections move the left and right null directions of x onto
// e3, which leaves a 2 x 2 block whose closest rotation is known in closed
// form; lower ranks go to rank1_rotation.
m3_t rank2_rotation(const m3_t& x, const m3_t& c) {
  int row = 0, col = 0;
  if (!largest_entry(c, row, col)) return rank1_rotation(x);
  // Rows of the cofactor matrix are right null vectors of x, its columns
  // left null vectors.
  const double right_null[3] = {c.a[row][0], c.a[row][1], c.a[row][2]};
  const double left_null[3] = {c.a[0][col], c.a[1][col], c.a[2][col]};
  double sign = 1.0;
  const m3_t hr = reflector_to_axis(right_null, 2, sign);
  const m3_t hl = reflector_to_axis(left_null, 2, sign);
  const m3_t b = mul(hl, mul(x, hr));  // third row and column are zero
  const double angle = std::atan2(b.a[1][0] - b.a[0][1], b.a[0][0] + b.a[1][1]);
  m3_t r = identity3();
  r.a[0][0] = r.a[1][1] = std::cos(angle);
  r.a[1][0] = std::sin(angle);
  r.a[0][1] = -r.a[1][0];
  return mul(hl, mul(r, hr));
}

// Polar decomposition x = q s by the scaled Newton iteration
// x ← (γ/2) x + 1/(2γ) x⁻ᵀ. Returns the determinant of the last iterate
// (its sign is that of det x; 0 for a singular x). q is orthogonal with that
// determinant's sign (a rotation when singular), s is symmetric.
double polar(const m3_t& x, m3_t& q, m3_t& s) {
  m3_t mk = x;
  double det = 0.0;
  double m_one = norm_one(mk), m_inf = norm_inf(mk);
  for (int it = 0; it < newton_max_iterations; ++it) {
    const m3_t c = cofactors(mk);
    det = mk.a[0][0] * c.a[0][0] + mk.a[0][1] * c.a[0][1] + mk.a[0][2] * c.a[0][2];
    if (det == 0.0) {
      mk = rank2_rotation(mk, c);
      break;
    }
    const double gamma = std::sqrt(std::sqrt(norm_one(c) * norm_inf(c) / (m_one * m_inf)) / std::fabs(det));
    const double g1 = gamma * 0.5;
    const double g2 = 0.5 / (gamma * det);
    m3_t change;
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j) {
        const double next = g1 * mk.a[i][j] + g2 * c.a[i][j];
        change.a[i][j] = mk.a[i][j] - next;
        mk.a[i][j] = next;
      }
    m_one = norm_one(mk);
    m_inf = norm_inf(mk);
    if (!(norm_one(change) > m_one * newton_tolerance)) break;
  }
  q = mk;
  s = mul(transpose(q), x);
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < i; ++j) s.a[i][j] = s.a[j][i] = 0.5 * (s.a[i][j] + s.a[j][i]);
  return det;
}

// Spectral decomposition of the symmetric s = u diag(k) uᵀ by cyclic Jacobi
// rotations; u is a rotation (product of plane rotations) whose columns are
// the eigenvectors.
void spectral(const m3_t& s, m3_t& u, double k[3]) {
  m3_t a = s;
  u = identity3();
  static const int pairs[3][2] = {{0, 1}, {0, 2}, {1, 2}};
  for (int sweep = 0; sweep < jacobi_max_sweeps; ++sweep) {
    if (std::fabs(a.a[0][1]) + std::fabs(a.a[0][2]) + std::fabs(a.a[1][2]) == 0.0) break;
    for (const auto& pq : pairs) {
      const int p = pq[0], q = pq[1], r = 3 - p - q;
      const double apq = a.a[p][q];
      if (apq == 0.0) continue;
      // An element negligible against both diagonal entries is dropped.
      const double g = 100.0 * std::fabs(apq);
      if (std::fabs(a.a[p][p]) + g == std::fabs(a.a[p][p]) && std::fabs(a.a[q][q]) + g == std::fabs(a.a[q][q])) {
        a.a[p][q] = a.a[q][p] = 0.0;
        continue;
      }
      const double theta = (a.a[q][q] - a.a[p][p]) / (2.0 * apq);
      const double t = (theta >= 0.0 ? 1.0 : -1.0) / (std::fabs(theta) + std::sqrt(theta * theta + 1.0));
      const double c = 1.0 / std::sqrt(t * t + 1.0);
      const double sn = t * c;
      a.a[p][p] -= t * apq;
      a.a[q][q] += t * apq;
      a.a[p][q] = a.a[q][p] = 0.0;
      const double arp = a.a[r][p], arq = a.a[r][q];
      a.a[r][p] = a.a[p][r] = c * arp - sn * arq;
      a.a[r][q] = a.a[q][r] = sn * arp + c * arq;
      for (int i = 0; i < 3; ++i) {
        const double uip = u.a[i][p], uiq = u.a[i][q];
        u.a[i][p] = c * uip - sn * uiq;
        u.a[i][q] = sn * uip + c * uiq;
      }
    }
  }
  for (int i = 0; i < 3; ++i) k[i] = a.a[i][i];
}

// Quaternion of a rotation matrix (column vectors).
quat_xyzw_t quat_of_rotation(const m3_t& r) {
  quat_xyzw_t q;
  const double trace = r.a[0][0] + r.a[1][1] + r.a[2][2];
  if (trace >= 0.0) {
    double s = std::sqrt(trace + 1.0);
    q.w = 0.5 * s;
    s = 0.5 / s;
    q.x = (r.a[2][1] - r.a[1][2]) * s;
    q.y = (r.a[0][2] - r.a[2][0]) * s;
    q.z = (r.a[1][0] - r.a[0][1]) * s;
    return q;
  }
  int i = 0;
  if (r.a[1][1] > r.a[i][i]) i = 1;
  if (r.a[2][2] > r.a[i][i]) i = 2;
  const int j = (i + 1) % 3, k = (i + 2) % 3;
  double s = std::sqrt(r.a[i][i] - r.a[j][j] - r.a[k][k] + 1.0);
  double v[3];
  v[i] = 0.5 * s;
  s = 0.5 / s;
  v[j] = (r.a[j][i] + r.a[i][j]) * s;
  v[k] = (r.a[k][i] + r.a[i][k]) * s;
  q.w = (r.a[k][j] - r.a[j][k]) * s;
  q.x = v[0];
  q.y = v[1];
  q.z = v[2];
  return q;
}

// Hamilton product a ⊗ b.
quat_xyzw_t qmul(const quat_xyzw_t& a, const quat_xyzw_t& b) {
  quat_xyzw_t r;
  r.w = a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z;
  r.x = a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y;
  r.y = a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x;
  r.z = a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w;
  return r;
}

double component(const quat_xyzw_t& q, int axis) { return axis == 0 ? q.x : axis == 1 ? q.y : q.z; }

// The 24 rotations that map the coordinate axes onto coordinate axes (signed
// permutations with determinant +1), with the permutation: column j of the
// rotation is ±e_source[j].
struct axis_rotation_t {
  quat_xyzw_t q;
  int source[3];
};

struct axis_rotations_t {
  axis_rotation_t r[24];
  axis_rotations_t() {
    static const int perms[6][3] = {{0, 1, 2}, {0, 2, 1}, {1, 0, 2}, {1, 2, 0}, {2, 0, 1}, {2, 1, 0}};
    int n = 0;
    for (const auto& perm : perms)
      for (int signs = 0; signs < 8; ++signs) {
        m3_t c;
        for (int j = 0; j < 3; ++j) c.a[perm[j]][j] = (signs >> j) & 1 ? -1.0 : 1.0;
        const m3_t cof = cofactors(c);
        if (c.a[0][0] * cof.a[0][0] + c.a[0][1] * cof.a[0][1] + c.a[0][2] * cof.a[0][2] < 0.0) continue;
        r[n].q = quat_of_rotation(c);
        for (int j = 0; j < 3; ++j) r[n].source[j] = perm[j];
        ++n;
      }
  }
};

// Among the stretch rotations equivalent to u (u C for the axis rotations C,
// with the factors k permuted to match, and, where factors are equal, any
// further rotation about the axis of the remaining one), picks the one
// closest to the identity (largest |w|). Earlier candidates win ties.
void snuggle(quat_xyzw_t& u, double k[3]) {
  if (k[0] == k[1] && k[1] == k[2]) {
    u = quat_xyzw_t{};
    return;
  }
  static const axis_rotations_t candidates;
  double best_score = -1.0;
  quat_xyzw_t best_u;
  double best_k[3] = {k[0], k[1], k[2]};
  for (const axis_rotation_t& c : candidates.r) {
    quat_xyzw_t g = qmul(u, c.q);
    const double kp[3] = {k[c.source[0]], k[c.source[1]], k[c.source[2]]};
    // Axis whose factor differs from the two equal ones, if any.
    const int free_axis = kp[0] == kp[1] ? 2 : kp[0] == kp[2] ? 1 : kp[1] == kp[2] ? 0 : -1;
    double score = std::fabs(g.w);
    if (free_axis >= 0) {
      // Turning about the free axis by the best angle: g ⊗ (gw, -g_axis e_axis)/|..|.
      const double ga = component(g, free_axis);
      score = std::sqrt(g.w * g.w + ga * ga);
      if (score > 0.0) {
        quat_xyzw_t turn;
        turn.w = g.w / score;
        (free_axis == 0 ? turn.x : free_axis == 1 ? turn.y : turn.z) = -ga / score;
        g = qmul(g, turn);
      }
    }
    if (score > best_score) {
      best_score = score;
      best_u = g;
      for (int i = 0; i < 3; ++i) best_k[i] = kp[i];
    }
  }
  if (best_u.w < 0.0) best_u = quat_xyzw_t{-best_u.x, -best_u.y, -best_u.z, -best_u.w};
  u = best_u;
  for (int i = 0; i < 3; ++i) k[i] = best_k[i];
}

quat_t to_wxyz(const quat_xyzw_t& q) {
  return quat_t{{static_cast<float>(q.w), static_cast<float>(q.x), static_cast<float>(q.y), static_cast<float>(q.z)}};
}

}  // namespace

affine_parts_t decompose(const mat4_t& m) {
  affine_parts_t parts;
  parts.t = vec3_t{{m[3], m[7], m[11]}};

  m3_t upper;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) upper.a[i][j] = m.at(i, j);

  m3_t q, s;
  const double det = polar(upper, q, s);
  if (det < 0.0) {
    for (auto& row : q.a)
      for (double& v : row) v = -v;
    parts.f = -1.0f;
  }
  parts.q = to_wxyz(quat_of_rotation(q));

  m3_t u;
  double k[3];
  spectral(s, u, k);
  quat_xyzw_t uq = quat_of_rotation(u);
  snuggle(uq, k);
  parts.u = to_wxyz(uq);
  parts.k = vec3_t{{static_cast<float>(k[0]), static_cast<float>(k[1]), static_cast<float>(k[2])}};
  return parts;
}

}  // namespace keln
