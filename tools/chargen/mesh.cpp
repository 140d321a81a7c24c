#include "mesh.h"

#include <algorithm>

namespace keln::chargen {

std::vector<std::vector<int>> vertex_neighbours(const mesh_t& mesh) {
  std::vector<std::vector<int>> nb(mesh.positions.size());
  for (const auto& t : mesh.triangles)
    for (int k = 0; k < 3; ++k) {
      nb[t[k]].push_back(t[(k + 1) % 3]);
      nb[t[k]].push_back(t[(k + 2) % 3]);
    }
  for (auto& list : nb) {
    std::sort(list.begin(), list.end());
    list.erase(std::unique(list.begin(), list.end()), list.end());
  }
  return nb;
}

void compute_normals(mesh_t& mesh) {
  mesh.normals.assign(mesh.positions.size(), dvec3{});
  for (const auto& t : mesh.triangles) {
    dvec3 a = mesh.positions[t[0]], b = mesh.positions[t[1]], c = mesh.positions[t[2]];
    // Clockwise winding: the outward normal is the reversed cross product.
    dvec3 n = cross(c - a, b - a);
    for (int v : t) mesh.normals[v] += n;
  }
  for (dvec3& n : mesh.normals) n = normalized(n);
}

void smooth(mesh_t& mesh, int iterations) {
  const double shrink = 0.5, inflate = -0.53;
  std::vector<std::vector<int>> nb = vertex_neighbours(mesh);
  std::vector<dvec3> next(mesh.positions.size());
  for (int it = 0; it < 2 * iterations; ++it) {
    double f = (it % 2 == 0) ? shrink : inflate;
    for (size_t v = 0; v < mesh.positions.size(); ++v) {
      dvec3 mean{};
      for (int u : nb[v]) mean += mesh.positions[u];
      dvec3 p = mesh.positions[v];
      next[v] = nb[v].empty() ? p : p + (mean * (1.0 / nb[v].size()) - p) * f;
    }
    mesh.positions.swap(next);
  }
}

namespace {

bool folded(const mesh_t& mesh, const std::array<int, 3>& t) {
  dvec3 a = mesh.positions[t[0]], b = mesh.positions[t[1]], c = mesh.positions[t[2]];
  dvec3 outward = cross(c - a, b - a);
  for (int v : t)
    if (dot(outward, mesh.normals[v]) <= 0) return true;
  return false;
}

}  // namespace

size_t relax_folds(mesh_t& mesh, int rounds) {
  std::vector<std::vector<int>> nb = vertex_neighbours(mesh);
  for (int round = 0;; ++round) {
    std::vector<int> moved;
    for (const auto& t : mesh.triangles)
      if (folded(mesh, t)) moved.insert(moved.end(), t.begin(), t.end());
    if (moved.empty() || round == rounds) return moved.size() / 3;
    std::sort(moved.begin(), moved.end());
    moved.erase(std::unique(moved.begin(), moved.end()), moved.end());
    for (int v : moved) {
      dvec3 mean{};
      for (int u : nb[v]) mean += mesh.positions[u];
      mesh.positions[v] = lerp(mesh.positions[v], mean * (1.0 / nb[v].size()), 0.5);
    }
    compute_normals(mesh);
  }
}

double signed_volume(const mesh_t& mesh) {
  double v = 0;
  for (const auto& t : mesh.triangles)
    v += dot(mesh.positions[t[0]], cross(mesh.positions[t[1]], mesh.positions[t[2]]));
  return v / 6.0;
}

}  // namespace keln::chargen
