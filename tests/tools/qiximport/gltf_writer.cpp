#include "gltf_writer.h"

#include <cstring>
#include <fstream>

namespace keln::qiximport::testing {

namespace {

constexpr int gltf_float = 5126;
constexpr int gltf_unsigned_short = 5123;

std::size_t components(const std::string& type) {
  if (type == "SCALAR") return 1;
  if (type == "VEC3") return 3;
  if (type == "VEC4") return 4;
  return 16;
}

std::string base64(const std::vector<std::uint8_t>& bytes) {
  static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string text;
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    const std::uint32_t b0 = bytes[i];
    const std::uint32_t b1 = i + 1 < bytes.size() ? bytes[i + 1] : 0;
    const std::uint32_t b2 = i + 2 < bytes.size() ? bytes[i + 2] : 0;
    const std::uint32_t group = b0 << 16 | b1 << 8 | b2;
    text += digits[group >> 18 & 63];
    text += digits[group >> 12 & 63];
    text += i + 1 < bytes.size() ? digits[group >> 6 & 63] : '=';
    text += i + 2 < bytes.size() ? digits[group & 63] : '=';
  }
  return text;
}

}  // namespace

int gltf_writer_t::add(const void* data, std::size_t bytes, std::size_t count, int component_type,
                       const char* type) {
  while (m_buffer.size() % 4 != 0) m_buffer.push_back(0);
  const std::size_t offset = m_buffer.size();
  m_buffer.resize(offset + bytes);
  std::memcpy(m_buffer.data() + offset, data, bytes);
  const std::string separator = m_count == 0 ? "" : ",";
  m_views += separator + "{\"buffer\":0,\"byteOffset\":" + std::to_string(offset) +
             ",\"byteLength\":" + std::to_string(bytes) + "}";
  m_accessors += separator + "{\"bufferView\":" + std::to_string(m_count) +
                 ",\"componentType\":" + std::to_string(component_type) + ",\"count\":" + std::to_string(count) +
                 ",\"type\":\"" + type + "\"}";
  return m_count++;
}

int gltf_writer_t::add_floats(const std::vector<float>& values, const char* type) {
  return add(values.data(), values.size() * sizeof(float), values.size() / components(type), gltf_float, type);
}

int gltf_writer_t::add_shorts(const std::vector<std::uint16_t>& values, const char* type) {
  return add(values.data(), values.size() * sizeof(std::uint16_t), values.size() / components(type),
             gltf_unsigned_short, type);
}

std::string gltf_writer_t::document(const std::string& body) const {
  return "{\"asset\":{\"version\":\"2.0\"},\"buffers\":[{\"byteLength\":" + std::to_string(m_buffer.size()) +
         ",\"uri\":\"data:application/octet-stream;base64," + base64(m_buffer) + "\"}],\"bufferViews\":[" + m_views +
         "],\"accessors\":[" + m_accessors + "]," + body + "}";
}

bool write_text_file(const std::string& path, const std::string& text) {
  std::ofstream file(path, std::ios::binary);
  file << text;
  return static_cast<bool>(file);
}

}  // namespace keln::qiximport::testing
