#include "documents/qix_writer.h"

#include <charconv>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "documents/qix_stream.h"

namespace keln {

void qix_write_float(float value, char out[24]) {
  if (!std::isfinite(value)) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof(bits));
    std::snprintf(out, 24, "&%08" PRIX32, bits);
    return;
  }
  // Shortest text that reads back to the same float; a point is added where
  // the text would otherwise read as an integer.
  const std::to_chars_result result = std::to_chars(out, out + 21, value);
  char* end = result.ptr;
  if (!std::memchr(out, '.', static_cast<std::size_t>(end - out)) &&
      !std::memchr(out, 'e', static_cast<std::size_t>(end - out))) {
    *end++ = '.';
    *end++ = '0';
  }
  *end = '\0';
}

namespace {

const char* format_keyword(std::uint32_t format) {
  static const char* const keywords[] = {"Float",  "Float2", "Float3", "Float4",   "Float5",    "Float6",
                                         "String", "Int",    nullptr,  "Float4x4", "Quaternion"};
  return format < sizeof(keywords) / sizeof(keywords[0]) ? keywords[format] : nullptr;
}

// Writes indented lines of document text; the first problem that would stop
// the text from reading back clears ok, and writing goes on.
class writer_t {
 public:
  explicit writer_t(qix_text_out_t& out) : m_out(out) {}

  bool ok = true;

  void put(const char* text) { m_out.write(text, std::strlen(text)); }

  void start_line() {
    static const char spaces[] = "                                ";
    const std::size_t width = 2 * m_depth;
    m_out.write(spaces, width < sizeof(spaces) - 1 ? width : sizeof(spaces) - 1);
  }

  void end_line() { put("\n"); }

  void open(const char* keyword) {
    start_line();
    put(keyword);
    put(" {");
    end_line();
    ++m_depth;
  }

  void close() {
    --m_depth;
    start_line();
    put("}");
    end_line();
  }

  void put_integer(std::int64_t value) {
    char text[24];
    std::snprintf(text, sizeof(text), "%" PRId64, value);
    put(text);
  }

  void put_float(float value) {
    char text[24];
    qix_write_float(value, text);
    put(text);
  }

  // A quoted string of at most 63 bytes without a double quote.
  void put_string(const char* text) {
    const std::size_t length = strnlen(text, 64);
    if (length > 63 || std::memchr(text, '"', length)) ok = false;
    put("\"");
    m_out.write(text, length);
    put("\"");
  }

  void begin_field(const char* keyword) {
    start_line();
    put(keyword);
    put(" : ");
  }

  void field_integer(const char* keyword, std::int64_t value) {
    begin_field(keyword);
    put_integer(value);
    end_line();
  }

  void field_count(const char* keyword, std::uint32_t value) {
    field_integer(keyword, static_cast<std::int32_t>(value));
  }

  void field_string(const char* keyword, const qix_string_t& value) {
    begin_field(keyword);
    put_string(value.text);
    end_line();
  }

  void field_float(const char* keyword, float value) {
    begin_field(keyword);
    put_float(value);
    end_line();
  }

  void field_floats(const char* keyword, const float* values, unsigned count) {
    begin_field(keyword);
    put_floats(values, count);
    end_line();
  }

  void field_format(std::uint32_t format) {
    const char* keyword = format_keyword(format);
    if (!keyword) {
      ok = false;
      keyword = "?";
    }
    begin_field("Format");
    put(keyword);
    end_line();
  }

  void put_floats(const float* values, unsigned count) {
    put("(");
    for (unsigned i = 0; i < count; ++i) {
      put(" ");
      put_float(values[i]);
    }
    put(" )");
  }

  // The value group of one item of the given format.
  void put_group(std::uint32_t format, const unsigned char* data) {
    float floats[16];
    std::int32_t integers[3];
    switch (format) {
      case QIX_FORMAT_STRING:
        put("( ");
        put_string(reinterpret_cast<const char*>(data));
        put(" )");
        return;
      case QIX_FORMAT_INT:
      case QIX_FORMAT_TRIANGLE: {
        const unsigned count = format == QIX_FORMAT_INT ? 1 : 3;
        std::memcpy(integers, data, count * sizeof(std::int32_t));
        put("(");
        for (unsigned i = 0; i < count; ++i) {
          put(" ");
          put_integer(integers[i]);
        }
        put(" )");
        return;
      }
      case QIX_FORMAT_FLOAT4X4: {
        float matrix[16];
        std::memcpy(matrix, data, sizeof(matrix));
        for (unsigned k = 0; k < 16; ++k) floats[k] = matrix[(k % 4) * 4 + k / 4];
        put_floats(floats, 16);
        return;
      }
      default: {
        const unsigned count = qix_format_floats(format);
        if (count == 0) {
          ok = false;
          put("( )");
          return;
        }
        std::memcpy(floats, data, count * sizeof(float));
        put_floats(floats, count);
      }
    }
  }

  void items(const qix_stream_t& stream) {
    for (std::uint32_t i = 0; i < stream.item_count; ++i) {
      start_line();
      put_integer(i);
      put(" ");
      put_group(stream.format, stream.item(i));
      end_line();
    }
  }

  void stream(const qix_stream_t& stream) {
    open("Stream");
    field_format(stream.format);
    field_string("Tag", stream.tag);
    items(stream);
    close();
  }

  void header(const qix_header_t* header) {
    if (!header) {
      ok = false;
      return;
    }
    open("Header");
    field_integer("FormatVersion", header->format_version);
    field_string("Source", header->source);
    field_string("Type", header->type);
    field_string("Name", header->name);
    close();
  }

  void material(const qix_material_t& material) {
    open("Material");
    field_string("Alias", material.alias);
    field_string("Effect", material.effect);
    close();
  }

  void piece(const qix_piece_t& piece) {
    open("Piece");
    field_count("Index", piece.index);
    field_count("Material", piece.material);
    field_count("VertexCount", piece.vertex_count);
    field_count("TriangleCount", piece.triangle_count);
    field_count("StreamCount", piece.stream_count);
    for (const qix_stream_t* s : piece.streams) stream(*s);
    open("Triangles");
    if (piece.triangles) items(*piece.triangles);
    close();
    close();
  }

  void numbers(const char* keyword, const array_t<std::uint32_t>& values) {
    start_line();
    put(keyword);
    put(" :");
    for (std::uint32_t value : values) {
      put(" ");
      put_integer(static_cast<std::int32_t>(value));
    }
    end_line();
  }

  void part(const qix_part_t& part) {
    open("Part");
    field_string("Name", part.name);
    field_count("PieceCount", part.piece_count);
    field_count("LocatorCount", part.locator_count);
    numbers("Pieces", part.pieces);
    numbers("Locators", part.locators);
    close();
  }

  // The counts the global sections of geometry and collision documents begin with.
  void mesh_counts(std::uint32_t vertices, std::uint32_t triangles, std::uint32_t materials, std::uint32_t pieces,
                   std::uint32_t parts) {
    field_count("VertexCount", vertices);
    field_count("TriangleCount", triangles);
    field_count("MaterialCount", materials);
    field_count("PieceCount", pieces);
    field_count("PartCount", parts);
  }

  // The Material, Piece and Part sections of geometry and collision documents.
  void meshes(const array_t<qix_material_t*>& materials, const array_t<qix_piece_t*>& pieces,
              const array_t<qix_part_t*>& parts) {
    for (const qix_material_t* m : materials) material(*m);
    for (const qix_piece_t* p : pieces) piece(*p);
    for (const qix_part_t* p : parts) part(*p);
  }

  void attribute(const qix_attribute_t& attribute) {
    open("Attribute");
    field_format(attribute.format);
    field_string("Tag", attribute.tag);
    begin_field("Value");
    put_group(attribute.value.format, attribute.value.data);
    end_line();
    close();
  }

  void skin(const qim_skin_t& skin) {
    open("Skin");
    field_count("StreamCount", skin.stream_count);
    for (const qix_stream_t* s : skin.streams) skin_stream(static_cast<const qim_skinstream_t&>(*s));
    close();
  }

  void skin_stream(const qim_skinstream_t& stream) {
    open("SkinStream");
    field_format(stream.format);
    field_string("Tag", stream.tag);
    field_count("ItemCount", stream.item_count_declared);
    field_count("TotalWeightCount", stream.weight_capacity);
    field_count("TotalCloneCount", stream.clone_capacity);
    for (std::uint32_t i = 0; i < stream.item_count; ++i) {
      const qim_skinitem_t& item = stream.skin_items[i];
      start_line();
      put_integer(i);
      put(" ( ");
      put_group(stream.format, stream.item(i));
      put(" Weights : ");
      put_integer(static_cast<std::int32_t>(item.weight_count));
      for (std::uint32_t w = 0; w < item.weights_added; ++w) {
        put(" ");
        put_integer(static_cast<std::int32_t>(item.first_weight[w].bone));
        put(" ");
        put_float(item.first_weight[w].weight);
      }
      put(" Clones : ");
      put_integer(static_cast<std::int32_t>(item.clone_count));
      for (std::uint32_t c = 0; c < item.clones_added; ++c) {
        put(" ");
        put_integer(static_cast<std::int32_t>(item.first_clone[c].piece));
        put(" ");
        put_integer(static_cast<std::int32_t>(item.first_clone[c].vertex));
      }
      put(" )");
      end_line();
    }
    close();
  }

 private:
  qix_text_out_t& m_out;
  unsigned m_depth = 0;
};

}  // namespace

bool qim_write(const qim_t& document, qix_text_out_t& out) {
  writer_t w(out);
  const qim_global_t* global = document.global;
  w.header(document.header);
  if (!global) return false;
  w.open("Global");
  w.mesh_counts(global->vertex_count, global->triangle_count, global->material_count, global->piece_count,
                global->part_count);
  w.field_count("BoneCount", global->bone_count);
  w.field_count("LocatorCount", global->locator_count);
  w.field_string("Skeleton", global->skeleton);
  w.close();
  w.meshes(document.materials, document.pieces, document.parts);
  for (const qim_locator_t* locator : document.locators) {
    w.open("Locator");
    w.field_string("Name", locator->name);
    if (locator->hookup.text[0]) w.field_string("Hookup", locator->hookup);
    w.field_count("Index", locator->index);
    w.field_floats("Position", locator->position, 3);
    w.field_floats("Rotation", locator->rotation, 4);
    w.field_floats("Scale", locator->scale, 3);
    w.close();
  }
  if (document.skin) {
    w.open("Bones");
    for (std::uint32_t i = 0; i < document.bone_names.size(); ++i) {
      w.start_line();
      w.put_integer(i);
      w.put(" ( ");
      w.put_string(document.bone_names[i].text);
      w.put(" )");
      w.end_line();
    }
    w.close();
    w.skin(*document.skin);
  }
  const bool bones_match_skin = (document.skin != nullptr) == !document.bone_names.empty();
  return w.ok && bones_match_skin;
}

bool qis_write(const qis_t& document, qix_text_out_t& out) {
  writer_t w(out);
  w.header(document.header);
  if (!document.global || !document.bones || document.bones->bone_list.empty()) return false;
  w.open("Global");
  w.field_count("BoneCount", document.global->bone_count);
  w.close();
  w.open("Bones");
  for (std::uint32_t i = 0; i < document.bones->bone_list.size(); ++i) {
    const qis_bone_t& bone = document.bones->bone_list[i];
    w.start_line();
    w.put_integer(i);
    w.put(" ( Name : ");
    w.put_string(bone.name.text);
    w.put(" Parent : ");
    w.put_string(bone.parent.text);
    w.put(" Matrix : ");
    w.put_group(QIX_FORMAT_FLOAT4X4, reinterpret_cast<const unsigned char*>(bone.matrix.m));
    w.put(" )");
    w.end_line();
  }
  w.close();
  return w.ok;
}

bool qia_write(const qia_t& document, qix_text_out_t& out) {
  writer_t w(out);
  const qia_global_t* global = document.global;
  w.header(document.header);
  if (!global) return false;
  w.open("Global");
  w.field_string("Skeleton", global->skeleton);
  w.field_float("TotalTime", global->total_time);
  w.field_count("BoneChannelCount", global->bone_channel_count);
  w.field_count("CustomChannelCount", global->custom_channel_count);
  w.close();
  const array_t<qia_channel_t*>* const lists[] = {&document.custom_channels, &document.bone_channels};
  const char* const keywords[] = {"CustomChannel", "BoneChannel"};
  for (unsigned l = 0; l < 2; ++l) {
    for (const qia_channel_t* channel : *lists[l]) {
      w.open(keywords[l]);
      w.field_string("Name", channel->name);
      w.field_count("StreamCount", channel->stream_count);
      w.field_count("KeyframeCount", channel->keyframe_count);
      for (const qix_stream_t* s : channel->streams) w.stream(*s);
      w.close();
    }
  }
  return w.ok;
}

bool qit_write(const qit_t& document, qix_text_out_t& out) {
  writer_t w(out);
  const qit_global_t* global = document.global;
  w.header(document.header);
  if (!global) return false;
  w.open("Global");
  w.field_count("LookCount", global->look_count);
  w.field_count("VariantCount", global->variant_count);
  w.field_count("PartCount", global->part_count);
  w.field_count("MaterialCount", global->material_count);
  w.close();
  for (const qit_look_t* look : document.looks) {
    w.open("Look");
    w.field_string("Name", look->name);
    for (const qit_material_t* material : look->materials) {
      w.open("Material");
      w.field_string("Alias", material->alias);
      w.field_string("Effect", material->effect);
      w.field_count("AttributeCount", material->attribute_count);
      w.field_count("TextureCount", material->texture_count);
      for (const qix_attribute_t* attribute : material->attributes) w.attribute(*attribute);
      for (const qit_texture_t* texture : material->textures) {
        w.open("Texture");
        w.field_string("Tag", texture->tag);
        w.field_string("Value", texture->value);
        w.close();
      }
      w.close();
    }
    w.close();
  }
  for (const qit_variant_t* variant : document.variants) {
    w.open("Variant");
    w.field_string("Name", variant->name);
    for (const qit_part_t* part : variant->parts) {
      w.open("Part");
      w.field_string("Name", part->name);
      w.field_count("AttributeCount", part->attribute_count);
      for (const qix_attribute_t* attribute : part->attributes) w.attribute(*attribute);
      w.close();
    }
    w.close();
  }
  return w.ok;
}

bool qic_write(const qic_t& document, qix_text_out_t& out) {
  writer_t w(out);
  const qic_global_t* global = document.global;
  w.header(document.header);
  if (!global) return false;
  w.open("Global");
  w.mesh_counts(global->vertex_count, global->triangle_count, global->material_count, global->piece_count,
                global->part_count);
  w.field_count("LocatorCount", global->locator_count);
  w.close();
  w.meshes(document.materials, document.pieces, document.parts);
  for (const qic_locator_t* locator : document.locators) {
    const char* type = qic_type_name(locator->type);
    float parameters[4] = {};
    std::memcpy(parameters, locator->parameters, qic_parameter_count(locator->type) * sizeof(float));
    w.open("Locator");
    w.field_string("Name", locator->name);
    w.field_count("Index", locator->index);
    w.field_floats("Position", locator->position, 3);
    w.field_floats("Rotation", locator->rotation, 4);
    w.field_string("Alias", locator->alias);
    w.field_float("Weight", locator->weight);
    w.begin_field("Type");
    w.put_string(type ? type : "");
    w.end_line();
    w.field_floats("Parameters", parameters, 4);
    w.close();
    if (!type) w.ok = false;
  }
  return w.ok;
}

bool qix_write(const qix_node_t& root, qix_kind_t kind, qix_text_out_t& out) {
  switch (kind) {
    case QIX_GEOMETRY:
      return qim_write(static_cast<const qim_t&>(root), out);
    case QIX_SKELETON:
      return qis_write(static_cast<const qis_t&>(root), out);
    case QIX_ANIMATION:
      return qia_write(static_cast<const qia_t&>(root), out);
    case QIX_TRAIT:
      return qit_write(static_cast<const qit_t&>(root), out);
    case QIX_COLLISION:
      return qic_write(static_cast<const qic_t&>(root), out);
  }
  return false;
}

}  // namespace keln
