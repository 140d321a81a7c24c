// Small glTF 2.0 scenes written by the tests themselves: the test gives the
// JSON of nodes, meshes, skins and animations; this collects their numbers
// into one buffer (embedded as base64) with an accessor each.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace keln::qiximport::testing {

class gltf_writer_t {
 public:
  // Appends values as an accessor of float components of type ("SCALAR",
  // "VEC3", "VEC4", "MAT4"); returns its index.
  int add_floats(const std::vector<float>& values, const char* type);
  // The same with unsigned 16-bit components (joint numbers).
  int add_shorts(const std::vector<std::uint16_t>& values, const char* type);

  // The whole document: body holds the top-level members after the buffer,
  // accessors and asset ("\"nodes\": [...], \"scenes\": ...").
  std::string document(const std::string& body) const;

 private:
  int add(const void* data, std::size_t bytes, std::size_t count, int component_type, const char* type);

  std::vector<std::uint8_t> m_buffer;
  std::string m_accessors, m_views;
  int m_count = 0;
};

// Writes text to path; false when that fails.
bool write_text_file(const std::string& path, const std::string& text);

}  // namespace keln::qiximport::testing
