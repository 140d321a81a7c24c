#include "velm/bspline_basis.h"

namespace keln::velm {

std::uint32_t bspline_knot_span(const float* knots, std::uint32_t count, float t, std::uint32_t hint) {
  if (count <= 7) return count - 4;
  const std::uint32_t last = count - 4;
  // Every knot up to knots[i - 1] is at most t (non-decreasing knots), so no
  // earlier i can stop the scan.
  std::uint32_t i = hint + 1;
  if (i < 4 || i > last || !(t >= knots[i - 1])) i = 4;
  for (; i <= last; ++i)
    if (t < knots[i]) return i - 1;
  return last;
}

void bspline_basis(const float* knots, std::uint32_t count, std::uint32_t control_count, float t,
                   std::uint32_t& span_hint, bspline_basis_t& out) {
  float* n = out.n;
  // Fewer than 8 knots hold no cubic span; such vectors (no fitted curve has
  // one) are read as if t were 0, which touches no knot.
  if (t <= 0.0f || count < 2 * bspline_order) {
    out.first = 0;
    n[0] = 1.0f;
    n[1] = n[2] = n[3] = 0.0f;
    return;
  }
  if (t >= 1.0f) {
    out.first = control_count - 4;
    n[0] = n[1] = n[2] = 0.0f;
    n[3] = 1.0f;
    return;
  }
  if (count == 2 * bspline_order && knots[1] == 0.0f && knots[2] == 0.0f && knots[3] == 0.0f &&
      knots[4] == 1.0f && knots[5] == 1.0f && knots[6] == 1.0f) {
    // The single span of 0 0 0 0 1 1 1 1 (every curve with four control
    // points): every denominator of the recursion below is exactly 1 and
    // every numerator 1 - t or t, so the divisions are left out; the values
    // are bit for bit those of the general recursion.
    const float u = 1.0f - t;
    float n0, n1, n2, n3 = 1.0f;
    n2 = u * n3;
    n3 = t * n3;
    n1 = u * n2;
    n2 = t * n2 + u * n3;
    n3 = t * n3;
    n0 = u * n1;
    n1 = t * n1 + u * n2;
    n2 = t * n2 + u * n3;
    n3 = t * n3;
    out.first = 0;
    n[0] = n0;
    n[1] = n1;
    n[2] = n2;
    n[3] = n3;
    return;
  }
  const std::uint32_t s = bspline_knot_span(knots, count, t, span_hint);
  span_hint = s;
  out.first = s - 3;
  const float* k = knots + s;  // k[0] = knots[s]
  // The twelve ratios of the recursion depend on t and the knots only; they
  // are formed first (independent divisions), then combined level by level:
  //   level 1: n2 = r0 n3,  n3 = r1 n3
  //   level 2: n1 = r2 n2,  n2 = r3 n2 + r4 n3,  n3 = r5 n3
  //   level 3: n0 = r6 n1,  n1 = r7 n1 + r8 n2,  n2 = r9 n2 + r10 n3,  n3 = r11 n3
  const float num[12] = {k[1] - t,  t - k[0],  k[1] - t,  t - k[-1], k[2] - t,  t - k[0],
                         k[1] - t,  t - k[-2], k[2] - t,  t - k[-1], k[3] - t,  t - k[0]};
  const float den[12] = {k[1] - k[0],  k[1] - k[0],  k[1] - k[-1], k[1] - k[-1], k[2] - k[0], k[2] - k[0],
                         k[1] - k[-2], k[1] - k[-2], k[2] - k[-1], k[2] - k[-1], k[3] - k[0], k[3] - k[0]};
  float r[12];
  for (unsigned i = 0; i < 12; ++i) r[i] = num[i] / den[i];

  float n0, n1, n2, n3 = 1.0f;
  n2 = r[0] * n3;
  n3 = r[1] * n3;
  n1 = r[2] * n2;
  n2 = r[3] * n2 + r[4] * n3;
  n3 = r[5] * n3;
  n0 = r[6] * n1;
  n1 = r[7] * n1 + r[8] * n2;
  n2 = r[9] * n2 + r[10] * n3;
  n3 = r[11] * n3;
  n[0] = n0;
  n[1] = n1;
  n[2] = n2;
  n[3] = n3;
}

}  // namespace keln::velm
