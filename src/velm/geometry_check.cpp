#include "velm/geometry_check.h"

#include <cstring>

#include "documents/qix_stream.h"
#include "kelncore/system/messages.h"

namespace keln::velm {

namespace {

bool check_vertex_stream(const qix_piece_t& piece, std::uint32_t p, const char* tag, const char* path) {
  const qix_stream_t* stream = piece.find_stream(tag);
  if (stream == nullptr) {
    msg_error("geometry file: %s - piece %u has no \"%s\" stream", path, p, tag);
    return false;
  }
  if (stream->format != QIX_FORMAT_FLOAT3 || stream->item_count < piece.vertex_count) {
    msg_error("geometry file: %s - piece %u: stream \"%s\" does not hold %u Float3 items", path, p, tag,
              piece.vertex_count);
    return false;
  }
  return true;
}

bool check_triangles(const qix_piece_t& piece, std::uint32_t p, const char* path) {
  const qix_stream_t* triangles = piece.triangles;
  if (piece.triangle_count == 0) return true;
  if (triangles == nullptr || triangles->format != QIX_FORMAT_TRIANGLE || triangles->item_count < piece.triangle_count) {
    msg_error("geometry file: %s - piece %u: the triangle list does not hold %u triangles", path, p,
              piece.triangle_count);
    return false;
  }
  for (std::uint32_t t = 0; t < piece.triangle_count; ++t) {
    std::int32_t corners[3];
    std::memcpy(corners, triangles->item(t), sizeof corners);
    for (const std::int32_t corner : corners) {
      if (corner < 0 || static_cast<std::uint32_t>(corner) >= piece.vertex_count) {
        msg_error("geometry file: %s - piece %u: triangle %u uses vertex %d, not below the piece's %u vertices", path,
                  p, t, corner, piece.vertex_count);
        return false;
      }
    }
  }
  return true;
}

bool check_pieces(const qim_t& document, const char* path) {
  std::uint64_t vertices = 0;
  for (std::uint32_t p = 0; p < document.pieces.size(); ++p) {
    const qix_piece_t& piece = *document.pieces[p];
    if (!check_vertex_stream(piece, p, "_POSITION", path) || !check_vertex_stream(piece, p, "_NORMAL", path) ||
        !check_triangles(piece, p, path))
      return false;
    vertices += piece.vertex_count;
  }
  if (vertices > max_skinned_vertices) {
    msg_error("geometry file: %s - %llu vertices, more than the %llu a skin can index", path,
              static_cast<unsigned long long>(vertices), static_cast<unsigned long long>(max_skinned_vertices));
    return false;
  }
  return true;
}

bool check_skin_item(const qim_t& document, const qim_skinitem_t& item, std::uint32_t i, const char* path,
                     std::uint32_t bone_count) {
  for (std::uint32_t w = 0; w < item.weights_added; ++w) {
    const std::uint32_t bone = item.first_weight[w].bone;
    if (bone >= bone_count) {
      msg_error("geometry file: %s - skin item %u uses bone %u, not below the skeleton's %u bones", path, i, bone,
                bone_count);
      return false;
    }
  }
  for (std::uint32_t c = 0; c < item.clones_added; ++c) {
    const qim_clone_t& clone = item.first_clone[c];
    if (clone.piece >= document.pieces.size()) {
      msg_error("geometry file: %s - skin item %u refers to piece %u, which does not exist", path, i, clone.piece);
      return false;
    }
    const std::uint32_t vertex_count = document.pieces[clone.piece]->vertex_count;
    if (clone.vertex >= vertex_count) {
      msg_error("geometry file: %s - skin item %u refers to vertex %u of piece %u, which has %u vertices", path, i,
                clone.vertex, clone.piece, vertex_count);
      return false;
    }
  }
  return true;
}

}  // namespace

const qim_skinstream_t* check_geometry(const qim_t& document, const char* path, std::uint32_t bone_count) {
  if (!check_pieces(document, path)) return nullptr;
  const qim_skinstream_t* skin = nullptr;
  if (document.skin != nullptr) skin = dynamic_cast<const qim_skinstream_t*>(document.skin->find_stream("_POSITION"));
  if (skin == nullptr) {
    msg_error("geometry file: %s - the skin has no \"_POSITION\" stream", path);
    return nullptr;
  }
  for (std::uint32_t i = 0; i < skin->skin_items.size(); ++i)
    if (!check_skin_item(document, skin->skin_items[i], i, path, bone_count)) return nullptr;
  return skin;
}

}  // namespace keln::velm
