#include "polygonise.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <unordered_map>

namespace keln::chargen {

namespace {

// Smallest magnitude a sample may have: a sample exactly on the level
// would put a vertex on a grid point and break the manifold property.
constexpr double min_sample = 1e-12;
// Edge vertices stay this far (as a fraction) from the grid points, which
// keeps the triangles away from zero area.
constexpr double edge_margin = 0.02;

struct grid_t {
  int nx, ny, nz;
  dvec3 origin;
  double h;
  std::vector<double> value;

  int64_t index(int i, int j, int k) const { return (int64_t(k) * ny + j) * nx + i; }
  dvec3 point(int i, int j, int k) const { return origin + dvec3{double(i), double(j), double(k)} * h; }
};

grid_t sample(const field_t& field, double h) {
  dvec3 lo, hi;
  field.bounds(2 * h, lo, hi);
  grid_t g;
  g.h = h;
  g.origin = lo;
  g.nx = int(std::ceil((hi.x - lo.x) / h)) + 1;
  g.ny = int(std::ceil((hi.y - lo.y) / h)) + 1;
  g.nz = int(std::ceil((hi.z - lo.z) / h)) + 1;
  g.value.resize(size_t(g.nx) * g.ny * g.nz);
  for (int k = 0; k < g.nz; ++k)
    for (int j = 0; j < g.ny; ++j)
      for (int i = 0; i < g.nx; ++i) {
        double v = field.value(g.point(i, j, k));
        if (std::fabs(v) < min_sample) v = min_sample;
        g.value[g.index(i, j, k)] = v;
      }
  return g;
}

struct corner_t {
  int i, j, k;
  int64_t id;
  double v;
};

class extractor_t {
 public:
  explicit extractor_t(const grid_t& g) : g_(g) {}

  void tetrahedron(const corner_t (&c)[4]) {
    int inside[4], outside[4], ni = 0, no = 0;
    for (int n = 0; n < 4; ++n) (c[n].v < 0 ? inside[ni++] : outside[no++]) = n;
    if (ni == 0 || no == 0) return;
    if (ni == 1 || no == 1) {
      // One corner alone on its side: one triangle around it.
      bool lone_inside = ni == 1;
      const corner_t& lone = c[lone_inside ? inside[0] : outside[0]];
      const int* others = lone_inside ? outside : inside;
      int e[3];
      for (int n = 0; n < 3; ++n) e[n] = vertex(lone, c[others[n]]);
      emit(e, lone_inside ? 1.0 : -1.0, lone);
      return;
    }
    // Two inside, two outside: a quad through four edges, as two triangles.
    const corner_t &i0 = c[inside[0]], &i1 = c[inside[1]];
    const corner_t &o0 = c[outside[0]], &o1 = c[outside[1]];
    int e00 = vertex(i0, o0), e01 = vertex(i0, o1), e11 = vertex(i1, o1), e10 = vertex(i1, o0);
    int t0[3] = {e00, e01, e11}, t1[3] = {e00, e11, e10};
    emit(t0, 1.0, i0);
    emit(t1, 1.0, i0);
  }

  mesh_t take() { return std::move(mesh_); }

 private:
  dvec3 grid_pos(const corner_t& c) const { return {double(c.i), double(c.j), double(c.k)}; }

  // Vertex where the level crosses the edge (a, b); created on first use.
  int vertex(const corner_t& a, const corner_t& b) {
    bool swap = a.id > b.id;
    const corner_t& lo = swap ? b : a;
    const corner_t& hi = swap ? a : b;
    uint64_t key = uint64_t(lo.id) * 8 + direction(lo, hi);
    auto found = index_.find(key);
    if (found != index_.end()) return found->second;
    double t = std::clamp(lo.v / (lo.v - hi.v), edge_margin, 1.0 - edge_margin);
    int n = int(mesh_.positions.size());
    mesh_.positions.push_back(lerp(g_.point(lo.i, lo.j, lo.k), g_.point(hi.i, hi.j, hi.k), t));
    midpoint_.push_back((grid_pos(lo) + grid_pos(hi)) * 0.5);
    index_.emplace(key, n);
    return n;
  }

  static int direction(const corner_t& lo, const corner_t& hi) {
    return (hi.i - lo.i) + 2 * (hi.j - lo.j) + 4 * (hi.k - lo.k);
  }

  // Appends the triangle e, wound so that its right-hand-rule normal
  // points toward the inside. The orientation is decided on the edges'
  // midpoints in grid coordinates (exact), which gives the same side as
  // the interpolated vertices because those stay strictly inside their
  // edges. ref is an inside corner for side +1, an outside one for -1.
  void emit(int (&e)[3], double side, const corner_t& ref) {
    dvec3 a = midpoint_[e[0]], b = midpoint_[e[1]], c = midpoint_[e[2]];
    double s = dot(cross(b - a, c - a), grid_pos(ref) - a) * side;
    if (s < 0) std::swap(e[1], e[2]);
    mesh_.triangles.push_back({e[0], e[1], e[2]});
  }

  const grid_t& g_;
  mesh_t mesh_;
  std::vector<dvec3> midpoint_;
  std::unordered_map<uint64_t, int> index_;
};

}  // namespace

mesh_t polygonise(const field_t& field, double spacing) {
  grid_t g = sample(field, spacing);
  extractor_t ex(g);
  // The six tetrahedra of a cube follow the six orders in which the path
  // from corner (0,0,0) to corner (1,1,1) can step along the axes.
  static const int orders[6][3] = {{0, 1, 2}, {0, 2, 1}, {1, 0, 2}, {1, 2, 0}, {2, 0, 1}, {2, 1, 0}};
  for (int k = 0; k + 1 < g.nz; ++k)
    for (int j = 0; j + 1 < g.ny; ++j)
      for (int i = 0; i + 1 < g.nx; ++i)
        for (const auto& order : orders) {
          corner_t c[4];
          int p[3] = {i, j, k};
          for (int n = 0; n < 4; ++n) {
            if (n > 0) ++p[order[n - 1]];
            int64_t id = g.index(p[0], p[1], p[2]);
            c[n] = {p[0], p[1], p[2], id, g.value[size_t(id)]};
          }
          ex.tetrahedron(c);
        }
  return ex.take();
}

}  // namespace keln::chargen
