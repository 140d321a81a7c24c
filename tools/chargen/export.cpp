#include "export.h"

#include <cstdio>

#include "documents/qia.h"
#include "documents/qim.h"
#include "documents/qis.h"
#include "documents/qix_text_out.h"
#include "documents/qix_writer.h"

namespace keln::chargen {

namespace {

// Every node of one document, deleted together.
class node_owner_t {
 public:
  ~node_owner_t() { qix_destroy_nodes(nodes); }
  template <typename T>
  T* make() {
    return qix_new_node<T>(nodes);
  }
  qix_node_list_t nodes;
};

qix_header_t* header(node_owner_t& owner, int version, const char* type, const std::string& name) {
  qix_header_t* h = owner.make<qix_header_t>();
  h->format_version = version;
  h->source.assign("chargen");
  h->type.assign(type);
  h->name.assign(name.c_str());
  return h;
}

// A stream of count items of format, filled by the caller.
qix_stream_t* stream(node_owner_t& owner, std::uint32_t format, const char* tag, size_t count) {
  qix_stream_t* s = owner.make<qix_stream_t>();
  s->allocate(format, std::uint32_t(count));
  s->tag.assign(tag);
  return s;
}

bool add_vec3(qix_stream_t* s, dvec3 v) {
  float item[3] = {float(v.x), float(v.y), float(v.z)};
  return s->add_item(item, sizeof(item));
}

bool write_text(const qis_t& doc, qix_text_out_t& out) { return qis_write(doc, out); }
bool write_text(const qim_t& doc, qix_text_out_t& out) { return qim_write(doc, out); }
bool write_text(const qia_t& doc, qix_text_out_t& out) { return qia_write(doc, out); }

// Writes the document's text to path, when it was built completely.
template <typename D>
bool save(const std::string& path, bool built, const D& doc) {
  qix_buffer_out_t text;
  if (!built || !write_text(doc, text)) {
    std::fprintf(stderr, "chargen: cannot build %s\n", path.c_str());
    return false;
  }
  std::FILE* f = std::fopen(path.c_str(), "wb");
  bool ok = f && std::fwrite(text.text.data(), 1, text.text.size(), f) == text.text.size();
  if (f && std::fclose(f) != 0) ok = false;
  if (!ok) std::fprintf(stderr, "chargen: cannot write %s\n", path.c_str());
  return ok;
}

bool write_skeleton(const character_t& c, const std::string& path) {
  node_owner_t owner;
  qis_t* doc = owner.make<qis_t>();
  doc->header = header(owner, 1, "skeleton", c.stem);
  doc->global = owner.make<qis_global_t>();
  doc->global->bone_count = std::uint32_t(c.rig.bones().size());
  doc->bones = owner.make<qis_bones_t>();
  for (const bone_def_t& b : c.rig.bones()) {
    // Rest orientations are the identity: the bone's transform in skeleton
    // space is the translation to its joint.
    float m[16] = {1, 0, 0, float(b.joint.x), 0, 1, 0, float(b.joint.y),
                   0, 0, 1, float(b.joint.z), 0, 0, 0, 1};
    const char* parent = b.parent < 0 ? "" : c.rig.bones()[b.parent].name.c_str();
    doc->bones->add_bone(b.name.c_str(), parent, m);
  }
  return save(path, true, *doc);
}

qim_skinstream_t* skin_stream(node_owner_t& owner, const mesh_t& mesh) {
  size_t weights = 0;
  for (const influences_t& s : mesh.skin) weights += size_t(s.count);
  qim_skinstream_t* s = owner.make<qim_skinstream_t>();
  s->allocate_skin(QIX_FORMAT_FLOAT3, std::uint32_t(mesh.positions.size()), std::uint32_t(weights),
                   std::uint32_t(mesh.positions.size()));
  s->tag.assign("_POSITION");
  return s;
}

// One skin item per vertex: its rest position, its weights (rounded to
// float so that they still sum to 1: the last takes the remainder) and the
// vertex itself as the only clone.
bool fill_skin(qim_skinstream_t* s, const mesh_t& mesh) {
  bool ok = true;
  for (size_t v = 0; v < mesh.positions.size(); ++v) {
    const influences_t& inf = mesh.skin[v];
    ok = ok && add_vec3(s, mesh.positions[v]) && s->set_weight_count(std::uint32_t(inf.count));
    float rest = 1.0f;
    for (int k = 0; k < inf.count; ++k) {
      float w = k + 1 == inf.count ? rest : float(inf.weight[k]);
      rest -= w;
      ok = ok && s->add_weight(std::uint32_t(inf.bone[k]), w);
    }
    ok = ok && s->set_clone_count(1) && s->add_clone(0, std::uint32_t(v));
  }
  return ok;
}

bool write_geometry(const character_t& c, const std::string& path) {
  const mesh_t& mesh = c.mesh;
  node_owner_t owner;
  qim_t* doc = owner.make<qim_t>();
  doc->header = header(owner, 5, "geometry", c.stem);
  qim_global_t* g = doc->global = owner.make<qim_global_t>();
  g->vertex_count = std::uint32_t(mesh.positions.size());
  g->triangle_count = std::uint32_t(mesh.triangles.size());
  g->material_count = g->piece_count = g->part_count = 1;
  g->bone_count = std::uint32_t(c.rig.bones().size());
  g->skeleton.assign(c.stem.c_str());

  qix_material_t* material = owner.make<qix_material_t>();
  material->alias.assign("skin");
  material->effect.assign("lit");
  doc->materials.push_back(material);

  qix_piece_t* piece = owner.make<qix_piece_t>();
  piece->vertex_count = g->vertex_count;
  piece->triangle_count = g->triangle_count;
  piece->stream_count = 2;
  qix_stream_t* positions = stream(owner, QIX_FORMAT_FLOAT3, "_POSITION", mesh.positions.size());
  qix_stream_t* normals = stream(owner, QIX_FORMAT_FLOAT3, "_NORMAL", mesh.positions.size());
  piece->triangles = stream(owner, QIX_FORMAT_TRIANGLE, "", mesh.triangles.size());
  bool ok = true;
  for (size_t v = 0; v < mesh.positions.size(); ++v)
    ok = ok && add_vec3(positions, mesh.positions[v]) && add_vec3(normals, mesh.normals[v]);
  for (const auto& t : mesh.triangles) {
    std::int32_t item[3] = {t[0], t[1], t[2]};
    ok = ok && piece->triangles->add_item(item, sizeof(item));
  }
  piece->streams.push_back(positions);
  piece->streams.push_back(normals);
  doc->pieces.push_back(piece);

  qix_part_t* part = owner.make<qix_part_t>();
  part->name.assign("body");
  part->piece_count = 1;
  part->pieces.push_back(0);
  doc->parts.push_back(part);

  for (const bone_def_t& b : c.rig.bones()) doc->bone_names.push_back(qix_string_t(b.name.c_str()));
  doc->skin = owner.make<qim_skin_t>();
  doc->skin->stream_count = 1;
  qim_skinstream_t* skin = skin_stream(owner, mesh);
  ok = ok && fill_skin(skin, mesh);
  doc->skin->streams.push_back(skin);
  return save(path, ok, *doc);
}

bool write_animation(const character_t& c, const clip_t& clip, const std::string& path) {
  motion_keys_t keys = sample_clip(c.rig, clip);
  node_owner_t owner;
  qia_t* doc = owner.make<qia_t>();
  doc->header = header(owner, 3, "animation", clip.file);
  doc->global = owner.make<qia_global_t>();
  doc->global->skeleton.assign(c.stem.c_str());
  doc->global->total_time = keys.duration;
  doc->global->bone_channel_count = std::uint32_t(keys.channels.size());
  bool ok = true;
  for (const channel_keys_t& k : keys.channels) {
    qia_channel_t* channel = owner.make<qia_channel_t>();
    channel->name.assign(c.rig.bones()[k.bone].name.c_str());
    channel->stream_count = 2;
    channel->keyframe_count = std::uint32_t(k.keys.size());
    // Each "_TIME" item is the step from its key to the next one.
    qix_stream_t* time = stream(owner, QIX_FORMAT_FLOAT, "_TIME", k.keys.size());
    qix_stream_t* matrix = stream(owner, QIX_FORMAT_FLOAT4X4, "_MATRIX", k.keys.size());
    for (const mat4_t& m : k.keys)
      ok = ok && time->add_item(&keys.step, sizeof(keys.step)) && matrix->add_item(m.m, sizeof(m.m));
    channel->streams.push_back(time);
    channel->streams.push_back(matrix);
    doc->bone_channels.push_back(channel);
  }
  return save(path, ok, *doc);
}

}  // namespace

bool write_documents(const character_t& c, const std::string& data_dir) {
  std::string dir = data_dir + "/" + c.directory + "/";
  bool ok = write_skeleton(c, dir + c.stem + ".qis") && write_geometry(c, dir + c.stem + ".qim");
  for (const clip_t& clip : c.clips) ok = ok && write_animation(c, clip, dir + clip.file + ".qia");
  return ok;
}

}  // namespace keln::chargen
