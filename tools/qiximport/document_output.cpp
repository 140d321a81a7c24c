#include "document_output.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "documents/qia.h"
#include "documents/qim.h"
#include "documents/qis.h"
#include "documents/qix_text_out.h"
#include "documents/qix_writer.h"

namespace keln::qiximport {

namespace {

// The nodes of one document under construction, destroyed together.
class document_nodes_t {
 public:
  document_nodes_t() = default;
  document_nodes_t(const document_nodes_t&) = delete;
  document_nodes_t& operator=(const document_nodes_t&) = delete;
  ~document_nodes_t() { qix_destroy_nodes(m_nodes); }

  template <typename Node>
  Node* add() {
    return qix_new_node<Node>(m_nodes);
  }

  qix_header_t* header(int version, const char* type, const std::string& name) {
    qix_header_t* result = add<qix_header_t>();
    result->format_version = version;
    result->source.assign("qiximport");
    result->type.assign(type);
    result->name.assign(name.c_str());
    return result;
  }

  qix_stream_t* stream(std::uint32_t format, const char* tag, std::size_t count) {
    qix_stream_t* result = add<qix_stream_t>();
    result->allocate(format, static_cast<std::uint32_t>(count));
    result->tag.assign(tag);
    return result;
  }

 private:
  qix_node_list_t m_nodes;
};

void to_floats(const dmat4_t& m, float out[16]) {
  for (unsigned r = 0; r < 4; ++r)
    for (unsigned c = 0; c < 4; ++c) out[r * 4 + c] = static_cast<float>(m[r][c]);
}

bool add_vector(qix_stream_t& stream, const dvec3_t& v) {
  const float item[3] = {static_cast<float>(v.x), static_cast<float>(v.y), static_cast<float>(v.z)};
  return stream.add_item(item, sizeof(item));
}

// Writes document to path with writer, when built.
template <typename Document>
bool save(bool (*writer)(const Document&, qix_text_out_t&), const Document& document, bool built,
          const std::string& path, std::string& problem) {
  if (!built) {
    problem = "cannot build the document";
    return false;
  }
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) {
    problem = "cannot be written";
    return false;
  }
  qix_stdio_out_t out(file);
  const bool written = writer(document, out) && std::ferror(file) == 0;
  const bool closed = std::fclose(file) == 0;
  if (written && closed) return true;
  problem = "cannot be written";
  return false;
}

// One skin item per vertex: its position, its weights (rounded to float
// with the last taking the remainder, so that they sum to 1 as floats) and
// the vertex itself as its only clone.
bool fill_skin(qim_skinstream_t& skin, const import_mesh_t& mesh) {
  bool ok = true;
  for (std::size_t v = 0; ok && v < mesh.positions.size(); ++v) {
    const import_influences_t& influences = mesh.influences[v];
    ok = add_vector(skin, mesh.positions[v]) && skin.set_weight_count(influences.count);
    float remainder = 1.0f;
    for (unsigned i = 0; ok && i < influences.count; ++i) {
      const float weight = i + 1 == influences.count ? remainder : static_cast<float>(influences.weights[i]);
      remainder -= weight;
      ok = skin.add_weight(influences.bones[i], weight);
    }
    ok = ok && skin.set_clone_count(1) && skin.add_clone(0, static_cast<std::uint32_t>(v));
  }
  return ok;
}

std::uint32_t weight_total(const import_mesh_t& mesh) {
  std::uint32_t total = 0;
  for (const import_influences_t& influences : mesh.influences) total += influences.count;
  return total;
}

// The one piece of the mesh: positions, normals and triangles; null when an
// item does not fit its stream.
qix_piece_t* mesh_piece(document_nodes_t& nodes, const import_mesh_t& mesh) {
  qix_piece_t* piece = nodes.add<qix_piece_t>();
  piece->vertex_count = static_cast<std::uint32_t>(mesh.positions.size());
  piece->triangle_count = static_cast<std::uint32_t>(mesh.triangles.size());
  piece->stream_count = 2;
  bool built = true;
  for (const auto& [tag, values] : {std::make_pair("_POSITION", &mesh.positions), {"_NORMAL", &mesh.normals}}) {
    qix_stream_t* stream = nodes.stream(QIX_FORMAT_FLOAT3, tag, values->size());
    for (const dvec3_t& value : *values) built = built && add_vector(*stream, value);
    piece->streams.push_back(stream);
  }
  piece->triangles = nodes.stream(QIX_FORMAT_TRIANGLE, "", mesh.triangles.size());
  for (const auto& triangle : mesh.triangles) {
    std::int32_t item[3];
    std::copy(triangle.begin(), triangle.end(), item);
    built = built && piece->triangles->add_item(item, sizeof(item));
  }
  return built ? piece : nullptr;
}

}  // namespace

bool write_skeleton_document(const import_skeleton_t& skeleton, const std::string& name, const std::string& path,
                             std::string& problem) {
  document_nodes_t nodes;
  qis_t* document = nodes.add<qis_t>();
  document->header = nodes.header(1, "skeleton", name);
  document->global = nodes.add<qis_global_t>();
  document->global->bone_count = static_cast<std::uint32_t>(skeleton.bones.size());
  document->bones = nodes.add<qis_bones_t>();
  for (const import_bone_t& bone : skeleton.bones) {
    float matrix[16];
    to_floats(bone.rest, matrix);
    const char* parent = bone.parent == no_parent ? "" : skeleton.bones[bone.parent].name.c_str();
    document->bones->add_bone(bone.name.c_str(), parent, matrix);
  }
  return save(qis_write, *document, true, path, problem);
}

bool write_mesh_document(const import_mesh_t& mesh, const import_skeleton_t& skeleton, const std::string& name,
                         const std::string& path, std::string& problem) {
  const auto vertex_count = static_cast<std::uint32_t>(mesh.positions.size());
  document_nodes_t nodes;
  qim_t* document = nodes.add<qim_t>();
  document->header = nodes.header(5, "geometry", name);
  qim_global_t* global = document->global = nodes.add<qim_global_t>();
  global->vertex_count = vertex_count;
  global->triangle_count = static_cast<std::uint32_t>(mesh.triangles.size());
  global->material_count = global->piece_count = global->part_count = 1;
  global->bone_count = static_cast<std::uint32_t>(skeleton.bones.size());
  global->skeleton.assign(name.c_str());
  document->materials.push_back(nodes.add<qix_material_t>());
  document->materials[0]->alias.assign("skin");
  document->materials[0]->effect.assign("lit");
  qix_piece_t* piece = mesh_piece(nodes, mesh);
  if (piece != nullptr) document->pieces.push_back(piece);
  // One part, "body", of the one piece.
  document->parts.push_back(nodes.add<qix_part_t>());
  document->parts[0]->name.assign("body");
  document->parts[0]->piece_count = 1;
  document->parts[0]->pieces.push_back(0);

  for (const import_bone_t& bone : skeleton.bones) document->bone_names.push_back(qix_string_t(bone.name.c_str()));
  document->skin = nodes.add<qim_skin_t>();
  document->skin->stream_count = 1;
  qim_skinstream_t* skin = nodes.add<qim_skinstream_t>();
  bool built = piece != nullptr && skin->allocate_skin(QIX_FORMAT_FLOAT3, vertex_count, weight_total(mesh), vertex_count);
  skin->tag.assign("_POSITION");
  built = built && fill_skin(*skin, mesh);
  document->skin->streams.push_back(skin);
  return save(qim_write, *document, built, path, problem);
}

bool write_clip_document(const import_clip_t& clip, const import_skeleton_t& skeleton, const std::string& name,
                         const std::string& clip_name, const std::string& path, std::string& problem) {
  // Every "_TIME" item is the step from its key to the next.
  const auto step = static_cast<float>(1.0 / clip.fps);
  document_nodes_t nodes;
  qia_t* document = nodes.add<qia_t>();
  document->header = nodes.header(3, "animation", clip_name);
  document->global = nodes.add<qia_global_t>();
  document->global->skeleton.assign(name.c_str());
  document->global->total_time = static_cast<float>((clip.key_count - 1) / clip.fps);
  document->global->bone_channel_count = static_cast<std::uint32_t>(skeleton.bones.size());
  bool built = true;
  for (std::size_t b = 0; b < skeleton.bones.size(); ++b) {
    qia_channel_t* channel = nodes.add<qia_channel_t>();
    channel->name.assign(skeleton.bones[b].name.c_str());
    channel->stream_count = 2;
    channel->keyframe_count = clip.key_count;
    qix_stream_t* time = nodes.stream(QIX_FORMAT_FLOAT, "_TIME", clip.key_count);
    qix_stream_t* matrix = nodes.stream(QIX_FORMAT_FLOAT4X4, "_MATRIX", clip.key_count);
    for (const dmat4_t& key : clip.keys[b]) {
      float item[16];
      to_floats(key, item);
      built = built && time->add_item(&step, sizeof(step)) && matrix->add_item(item, sizeof(item));
    }
    channel->streams.push_back(time);
    channel->streams.push_back(matrix);
    document->bone_channels.push_back(channel);
  }
  return save(qia_write, *document, built, path, problem);
}

}  // namespace keln::qiximport
