#include "preview.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace keln::chargen {

mesh_t posed_mesh(const character_t& c, const rig_pose_t& pose) {
  std::vector<placement_t> g = globals(c.rig, pose);
  mesh_t m = c.mesh;
  for (size_t v = 0; v < m.positions.size(); ++v) {
    dvec3 p{}, n{};
    const influences_t& s = c.mesh.skin[v];
    for (int k = 0; k < s.count; ++k) {
      const placement_t& b = g[s.bone[k]];
      dvec3 local = c.mesh.positions[v] - c.rig.bones()[s.bone[k]].joint;
      p += (b.position + rotate(b.rotation, local)) * s.weight[k];
      n += rotate(b.rotation, c.mesh.normals[v]) * s.weight[k];
    }
    m.positions[v] = p;
    m.normals[v] = normalized(n);
  }
  return m;
}

namespace {

struct view_t {
  dquat turn = rot_x(deg(12)) * rot_y(deg(-35));
  double scale, cx, cy;
  dvec3 project(dvec3 p) const {
    dvec3 q = rotate(turn, p - dvec3{0, 0.45, 0});
    return {cx + q.x * scale, cy - q.y * scale, q.z};
  }
};

}  // namespace

bool write_preview(const mesh_t& mesh, int width, int height, const std::string& path) {
  view_t view;
  view.scale = height * 0.8;
  view.cx = width * 0.5;
  view.cy = height * 0.5;
  std::vector<double> depth(size_t(width) * height, -std::numeric_limits<double>::infinity());
  std::vector<unsigned char> rgb(size_t(width) * height * 3);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      unsigned char shade = (unsigned char)(200 - 90 * y / height);
      for (int k = 0; k < 3; ++k) rgb[(size_t(y) * width + x) * 3 + k] = shade;
    }
  dvec3 light = normalized({0.3, 0.8, 0.6});
  for (const auto& t : mesh.triangles) {
    dvec3 a = view.project(mesh.positions[t[0]]), b = view.project(mesh.positions[t[1]]),
          c = view.project(mesh.positions[t[2]]);
    double area = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
    if (area == 0) continue;
    int x0 = std::max(0, int(std::floor(std::min({a.x, b.x, c.x}))));
    int x1 = std::min(width - 1, int(std::ceil(std::max({a.x, b.x, c.x}))));
    int y0 = std::max(0, int(std::floor(std::min({a.y, b.y, c.y}))));
    int y1 = std::min(height - 1, int(std::ceil(std::max({a.y, b.y, c.y}))));
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x) {
        double px = x + 0.5, py = y + 0.5;
        double w0 = ((b.x - px) * (c.y - py) - (b.y - py) * (c.x - px)) / area;
        double w1 = ((c.x - px) * (a.y - py) - (c.y - py) * (a.x - px)) / area;
        double w2 = 1 - w0 - w1;
        if (w0 < 0 || w1 < 0 || w2 < 0) continue;
        double z = w0 * a.z + w1 * b.z + w2 * c.z;
        size_t i = size_t(y) * width + x;
        if (z <= depth[i]) continue;
        depth[i] = z;
        dvec3 n = normalized(mesh.normals[t[0]] * w0 + mesh.normals[t[1]] * w1 + mesh.normals[t[2]] * w2);
        double lit = 0.25 + 0.75 * std::max(0.0, dot(rotate(view.turn, n), light));
        rgb[i * 3 + 0] = (unsigned char)(std::min(1.0, lit * 0.55) * 255);
        rgb[i * 3 + 1] = (unsigned char)(std::min(1.0, lit * 0.6) * 255);
        rgb[i * 3 + 2] = (unsigned char)(std::min(1.0, lit * 1.0) * 255);
      }
  }
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  std::fprintf(f, "P6\n%d %d\n255\n", width, height);
  bool ok = std::fwrite(rgb.data(), 1, rgb.size(), f) == rgb.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace keln::chargen
