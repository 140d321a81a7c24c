// The scene as assimp reads it, refused with one line when it cannot serve
// as a source: a missing file, a format assimp does not know, a file assimp
// fails on (truncated, malformed), or a number that is not finite.
#pragma once

#include <assimp/Importer.hpp>
#include <assimp/scene.h>
#include <string>

namespace keln::qiximport {

class source_scene_t {
 public:
  // Reads path, triangulating faces and generating normals where the file
  // has none. False, with problem set (no file name), when the scene cannot
  // be used.
  bool read(const std::string& path, std::string& problem);

  // The scene; valid after a successful read, as long as this object.
  const aiScene& scene() const { return *m_scene; }

  // Keys per second of the file's frames for formats that store whole frames
  // (BVH, FBX): an animation's ticks per second there; 0 for other formats,
  // whose key times are free.
  double frame_rate(const aiAnimation& animation) const;

 private:
  Assimp::Importer m_importer;
  const aiScene* m_scene = nullptr;
  bool m_framed = false;  // the format counts time in frames
};

}  // namespace keln::qiximport
