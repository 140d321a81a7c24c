// Building skinned meshes from geometry documents.
#include <cstring>

#include "documents/qix_load.h"
#include "documents/qix_stream.h"
#include "kelncore/fs/fs_types.h"
#include "kelncore/system/messages.h"
#include "velm/document_report.h"
#include "velm/geometry_check.h"
#include "velm/skeletal_instance.h"

namespace keln::velm {

namespace {

void append_vec3_items(array_dyn_t<vec3_t>& out, const qix_stream_t& stream, std::uint32_t count) {
  for (std::uint32_t v = 0; v < count; ++v) {
    vec3_t value;
    std::memcpy(value.c, stream.item(v), sizeof value.c);
    out.push_back(value);
  }
}

// Appends the piece's vertices and its triangles, each index re-based by the
// number of vertices before the piece (checked to fit 16 bits).
void append_piece(skinned_mesh_t& mesh, const qix_piece_t& piece, std::uint32_t base) {
  append_vec3_items(mesh.positions, *piece.find_stream("_POSITION"), piece.vertex_count);
  append_vec3_items(mesh.normals, *piece.find_stream("_NORMAL"), piece.vertex_count);
  for (std::uint32_t t = 0; t < piece.triangle_count; ++t) {
    std::int32_t corners[3];
    std::memcpy(corners, piece.triangles->item(t), sizeof corners);
    for (const std::int32_t corner : corners)
      mesh.indices.push_back(static_cast<unsigned short>(base + static_cast<std::uint32_t>(corner)));
  }
}

// Gives every vertex that an item of the skin stream names a copy of the
// item's influences; a later item overwrites an earlier one.
void assign_influences(skinned_mesh_t& mesh, const qim_skinstream_t& skin, const array_t<std::uint32_t>& bases) {
  skin_vertex_t influences;
  for (const qim_skinitem_t& item : skin.skin_items) {
    influences.influences.clear();
    for (std::uint32_t w = 0; w < item.weights_added; ++w) {
      skin_t influence;
      influence.bone = item.first_weight[w].bone;
      influence.weight = item.first_weight[w].weight;
      influences.influences.push_back(influence);
    }
    for (std::uint32_t c = 0; c < item.clones_added; ++c) {
      const qim_clone_t& clone = item.first_clone[c];
      mesh.skin_vertices[bases[clone.piece] + clone.vertex].influences = influences.influences;
    }
  }
}

}  // namespace

skinned_mesh_t* skeletal_instance_t::load_skin(const char* path) {
  const qim_t* document = qim_load(path, FS_DEVICE_SYSTEM, *m_documents);
  if (!report_document_load(document != nullptr, path, banner_geometry, "geometry")) return nullptr;
  const qim_skinstream_t* skin = check_geometry(*document, path, bone_count());
  if (skin == nullptr) return nullptr;

  skinned_mesh_t* mesh = new skinned_mesh_t();
  array_dyn_t<std::uint32_t> bases;
  std::uint32_t base = 0;
  for (const qix_piece_t* piece : document->pieces) {
    bases.push_back(base);
    append_piece(*mesh, *piece, base);
    base += piece->vertex_count;
  }
  mesh->skin_vertices.resize(base);
  assign_influences(*mesh, *skin, bases);
  for (std::uint32_t v = 0; v < base; ++v)
    if (mesh->skin_vertices[v].influences.empty())
      msg_error("skin_vertex: %zu has zero bones assigned to it!", std::size_t{v});
  return mesh;
}

}  // namespace keln::velm
