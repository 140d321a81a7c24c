#include "documents/qix_grammar_support.h"

#include <cstring>

#include "documents/qix_checks.h"
#include "documents/qix_context.h"
#include "documents/qix_stream.h"

namespace keln {

void qix_float_value(qix_value_t& out, std::uint32_t format, const float* floats) {
  out.format = format;
  out.size = qix_format_size(format);
  std::memcpy(out.data, floats, out.size);
}

void qix_matrix_value(qix_value_t& out, const float* floats) {
  out.format = QIX_FORMAT_FLOAT4X4;
  out.size = qix_format_size(QIX_FORMAT_FLOAT4X4);
  float matrix[16];
  for (unsigned k = 0; k < 16; ++k) matrix[(k % 4) * 4 + k / 4] = floats[k];
  std::memcpy(out.data, matrix, sizeof(matrix));
}

void qix_string_value(qix_value_t& out, const char* text) {
  out.format = QIX_FORMAT_STRING;
  out.size = qix_format_size(QIX_FORMAT_STRING);
  std::memset(out.data, 0, sizeof(out.data));
  std::strncpy(reinterpret_cast<char*>(out.data), text, sizeof(out.data) - 1);
}

void qix_int_group_value(qix_value_t& out, std::uint32_t format, const std::int32_t* integers) {
  out.format = format;
  out.size = qix_format_size(format);
  std::memcpy(out.data, integers, out.size);
}

void qix_begin_stream(std::uint32_t format, std::uint32_t count, const char* tag) {
  qix_stream_t* stream = qix_parse_node<qix_stream_t>();
  g_qix_context.stream = stream;
  stream->allocate(format, count);
  stream->tag = tag;
  g_qix_context.expected_item = 0;
}

bool qix_check_global_counts(const array_t<qix_piece_t*>& pieces, std::uint32_t piece_count, std::uint32_t parts,
                             std::uint32_t part_count, std::uint32_t locators, std::uint32_t locator_count,
                             std::uint32_t vertex_count, std::uint32_t triangle_count) {
  std::uint64_t vertices = 0;
  std::uint64_t triangles = 0;
  for (const qix_piece_t* piece : pieces) {
    vertices += piece->vertex_count;
    triangles += piece->triangle_count;
  }
  const char* failure = nullptr;
  if (pieces.size() != piece_count)
    failure = "mismatching Piece count";
  else if (parts != part_count)
    failure = "mismatching Part count";
  else if (locators != locator_count)
    failure = "mismatching Locator count";
  else if (vertices != vertex_count)
    failure = "mismatching VertexCount count";
  else if (triangles != triangle_count)
    failure = "mismatching TriangleCount count";
  if (!failure) return true;
  qix_parse_error(failure);
  return false;
}

const char* qix_grammar_text(const char* text) {
  return std::strcmp(text, "memory exhausted") == 0 ? "parser stack overflow" : text;
}

}  // namespace keln
