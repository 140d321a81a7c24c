#include "decimate.h"

#include <algorithm>
#include <queue>
#include <tuple>

namespace keln::chargen {

namespace {

constexpr double min_turn_cosine = 0.35;

class collapser_t {
 public:
  explicit collapser_t(mesh_t& mesh) : m_(mesh), alive_(mesh.triangles.size(), true) {
    faces_.resize(m_.positions.size());
    for (size_t t = 0; t < m_.triangles.size(); ++t)
      for (int v : m_.triangles[t]) faces_[v].push_back(int(t));
    vertex_alive_.assign(m_.positions.size(), true);
    remaining_ = m_.positions.size();
    for (size_t t = 0; t < m_.triangles.size(); ++t)
      for (int k = 0; k < 3; ++k) push(m_.triangles[t][k], m_.triangles[t][(k + 1) % 3]);
  }

  void run(size_t max_vertices) {
    while (remaining_ > max_vertices && !queue_.empty()) {
      auto [len, a, b] = queue_.top();
      queue_.pop();
      if (!vertex_alive_[a] || !vertex_alive_[b]) continue;
      if (length(m_.positions[a] - m_.positions[b]) != len) continue;  // stale entry
      collapse(a, b);
    }
    compact();
  }

 private:
  using entry_t = std::tuple<double, int, int>;

  void push(int a, int b) {
    if (a > b) std::swap(a, b);
    queue_.emplace(length(m_.positions[a] - m_.positions[b]), a, b);
  }

  std::vector<int> neighbours(int v) const {
    std::vector<int> out;
    for (int t : faces_[v])
      for (int u : m_.triangles[t])
        if (u != v) out.push_back(u);
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
  }

  dvec3 normal(const std::array<int, 3>& t, int moved, dvec3 at) const {
    dvec3 p[3];
    for (int k = 0; k < 3; ++k) p[k] = t[k] == moved ? at : m_.positions[t[k]];
    return normalized(cross(p[1] - p[0], p[2] - p[0]));
  }

  bool turns_over(int v, int other, dvec3 at) const {
    for (int t : faces_[v]) {
      const auto& tri = m_.triangles[t];
      if (std::find(tri.begin(), tri.end(), other) != tri.end()) continue;
      if (dot(normal(tri, -1, {}), normal(tri, v, at)) < min_turn_cosine) return true;
    }
    return false;
  }

  void collapse(int a, int b) {
    std::vector<int> na = neighbours(a), nb = neighbours(b), common;
    if (!std::binary_search(na.begin(), na.end(), b)) return;
    std::set_intersection(na.begin(), na.end(), nb.begin(), nb.end(), std::back_inserter(common));
    if (common.size() != 2) return;
    for (int c : common)
      if (neighbours(c).size() <= 3) return;
    dvec3 mid = (m_.positions[a] + m_.positions[b]) * 0.5;
    if (turns_over(a, b, mid) || turns_over(b, a, mid)) return;

    m_.positions[a] = mid;
    std::vector<int> merged;
    for (int t : faces_[a]) merged.push_back(t);
    for (int t : faces_[b]) {
      auto& tri = m_.triangles[t];
      if (std::find(tri.begin(), tri.end(), a) != tri.end()) {
        // One of the two triangles on the edge: it disappears.
        alive_[t] = false;
        for (int u : tri)
          if (u != a && u != b) faces_[u].erase(std::find(faces_[u].begin(), faces_[u].end(), t));
        continue;
      }
      std::replace(tri.begin(), tri.end(), b, a);
      merged.push_back(t);
    }
    merged.erase(std::remove_if(merged.begin(), merged.end(), [&](int t) { return !alive_[t]; }),
                 merged.end());
    faces_[a] = merged;
    faces_[b].clear();
    vertex_alive_[b] = false;
    --remaining_;
    for (int u : neighbours(a)) push(a, u);
  }

  void compact() {
    std::vector<int> index(m_.positions.size(), -1);
    std::vector<dvec3> positions;
    for (size_t v = 0; v < m_.positions.size(); ++v)
      if (vertex_alive_[v]) {
        index[v] = int(positions.size());
        positions.push_back(m_.positions[v]);
      }
    std::vector<std::array<int, 3>> triangles;
    for (size_t t = 0; t < m_.triangles.size(); ++t)
      if (alive_[t])
        triangles.push_back(
            {index[m_.triangles[t][0]], index[m_.triangles[t][1]], index[m_.triangles[t][2]]});
    m_.positions.swap(positions);
    m_.triangles.swap(triangles);
    m_.normals.clear();
    m_.skin.clear();
  }

  mesh_t& m_;
  std::vector<bool> alive_, vertex_alive_;
  std::vector<std::vector<int>> faces_;
  size_t remaining_;
  std::priority_queue<entry_t, std::vector<entry_t>, std::greater<entry_t>> queue_;
};

}  // namespace

void decimate(mesh_t& mesh, size_t max_vertices) { collapser_t(mesh).run(max_vertices); }

}  // namespace keln::chargen
