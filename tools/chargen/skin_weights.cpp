#include "skin_weights.h"

#include <algorithm>
#include <numeric>

namespace keln::chargen {

namespace {

constexpr double min_weight = 0.01;

bool related(const rig_t& rig, int a, int b) {
  return a == b || rig.bones()[a].parent == b || rig.bones()[b].parent == a;
}

// Raw weights of one vertex from its distances to every bone.
void raw_weights(const rig_t& rig, const std::vector<double>& d, double falloff, double* w) {
  size_t n = d.size();
  int primary = int(std::min_element(d.begin(), d.end()) - d.begin());
  for (size_t b = 0; b < n; ++b) {
    w[b] = 0;
    if (!related(rig, primary, int(b))) continue;
    double x = (d[b] - d[primary]) / falloff;
    if (x < 1) w[b] = (1 - x) * (1 - x);
  }
}

influences_t strongest(const double* w, size_t n) {
  std::vector<int> order(n);
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return w[a] > w[b]; });
  size_t top = std::min<size_t>(4, n);
  double total = 0;
  for (size_t k = 0; k < top; ++k) total += w[order[k]];
  influences_t inf;
  double sum = 0;
  for (size_t k = 0; k < top && w[order[k]] > min_weight * total; ++k) {
    inf.bone[k] = order[k];
    inf.weight[k] = w[order[k]];
    inf.count = int(k) + 1;
    sum += inf.weight[k];
  }
  for (int k = 0; k < inf.count; ++k) inf.weight[k] /= sum;
  return inf;
}

}  // namespace

void assign_weights(mesh_t& mesh, const rig_t& rig, const field_t& field, double falloff,
                    int smoothing_passes) {
  size_t nb = rig.bones().size(), nv = mesh.positions.size();
  std::vector<double> w(nv * nb), next(nv * nb);
  std::vector<double> d;
  for (size_t v = 0; v < nv; ++v) {
    field.bone_distances(mesh.positions[v], d);
    raw_weights(rig, d, falloff, &w[v * nb]);
  }
  std::vector<std::vector<int>> neighbours = vertex_neighbours(mesh);
  for (int pass = 0; pass < smoothing_passes; ++pass) {
    for (size_t v = 0; v < nv; ++v) {
      double share = neighbours[v].empty() ? 0 : 0.5 / neighbours[v].size();
      for (size_t b = 0; b < nb; ++b) {
        double s = 0;
        for (int u : neighbours[v]) s += w[size_t(u) * nb + b];
        next[v * nb + b] = (neighbours[v].empty() ? 1.0 : 0.5) * w[v * nb + b] + share * s;
      }
    }
    w.swap(next);
  }
  mesh.skin.resize(nv);
  for (size_t v = 0; v < nv; ++v) mesh.skin[v] = strongest(&w[v * nb], nb);
}

}  // namespace keln::chargen
