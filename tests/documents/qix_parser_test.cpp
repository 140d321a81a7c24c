// What the grammar stores: values of every section kind, read from the corpus
// documents and from small texts.
#include <gtest/gtest.h>

#include <cstring>

#include "document_test_support.h"
#include "documents/qix_stream.h"

namespace keln {
namespace {

struct corpus_document_t : parsed_text_t {
  corpus_document_t(const char* path, qix_kind_t kind) : parsed_text_t(read_text_file(path), kind) {}
};

TEST(qix_parser, a_parse_creates_the_five_roots_first_and_keeps_the_nodes_of_a_failure) {
  corpus_document_t d("corpus/skeleton/valid_two_bones.qis", QIX_SKELETON);
  ASSERT_TRUE(d.loaded);
  ASSERT_GE(d.nodes.size(), 5u);
  EXPECT_NE(dynamic_cast<qim_t*>(d.nodes[0]), nullptr);
  EXPECT_EQ(d.nodes[1], d.root);
  EXPECT_NE(dynamic_cast<qia_t*>(d.nodes[2]), nullptr);
  EXPECT_NE(dynamic_cast<qit_t*>(d.nodes[3]), nullptr);
  EXPECT_NE(dynamic_cast<qic_t*>(d.nodes[4]), nullptr);
  EXPECT_EQ(static_cast<qim_t*>(d.nodes[0])->header, nullptr) << "the other roots stay empty";

  message_log_t log;
  corpus_document_t failed("corpus/geometry/piece_count.qim", QIX_GEOMETRY);
  EXPECT_FALSE(failed.loaded);
  EXPECT_EQ(static_cast<qim_t*>(failed.root)->pieces.size(), 1u) << "the root is partly filled";
  EXPECT_GT(failed.nodes.size(), 5u);
  EXPECT_EQ(log.lines,
            std::vector<std::string>{"*** ERROR *** : test.doc:14: mismatching Piece count [ token '' ]"});
}

TEST(qix_parser, geometry_sections_and_skin_items_with_their_pairs) {
  corpus_document_t d("corpus/geometry/valid_skinned.qim", QIX_GEOMETRY);
  ASSERT_TRUE(d.loaded);
  const qim_t& g = *static_cast<qim_t*>(d.root);
  EXPECT_EQ(g.header->format_version, 5);
  EXPECT_STREQ(g.header->name.text, "two pieces");
  EXPECT_EQ(g.global->vertex_count, 7u);
  EXPECT_STREQ(g.global->skeleton.text, "biped");
  ASSERT_EQ(g.materials.size(), 1u);
  EXPECT_STREQ(g.materials[0]->effect.text, "lit");

  ASSERT_EQ(g.pieces.size(), 2u);
  const qix_piece_t& piece = *g.pieces[1];
  EXPECT_EQ(piece.index, 1u);
  EXPECT_EQ(piece.vertex_count, 4u);
  ASSERT_EQ(piece.streams.size(), 1u);
  EXPECT_EQ(piece.find_stream("_POSITION"), piece.streams[0]);
  EXPECT_EQ(piece.find_stream("_NORMAL"), nullptr);
  const float* corner = reinterpret_cast<const float*>(piece.streams[0]->item(2));
  EXPECT_EQ(corner[0], 1.0f);
  EXPECT_EQ(corner[2], 1.0f);
  ASSERT_NE(piece.triangles, nullptr);
  EXPECT_EQ(piece.triangles->format, QIX_FORMAT_TRIANGLE);
  const std::int32_t* triangle = reinterpret_cast<const std::int32_t*>(piece.triangles->item(1));
  EXPECT_EQ(triangle[2], 3);

  ASSERT_EQ(g.parts.size(), 1u);
  EXPECT_EQ(g.parts[0]->pieces.size(), 2u);
  EXPECT_EQ(g.parts[0]->pieces[1], 1u);
  EXPECT_EQ(g.parts[0]->locators.size(), 1u);

  ASSERT_EQ(g.locators.size(), 1u);
  EXPECT_STREQ(g.locators[0]->hookup.text, "weapon");
  EXPECT_EQ(g.locators[0]->index, 1u);
  EXPECT_EQ(g.locators[0]->position[2], -1.5f);
  EXPECT_EQ(g.locators[0]->rotation[0], 1.0f);

  ASSERT_EQ(g.bone_names.size(), 2u);
  EXPECT_STREQ(g.bone_names[1].text, "arm");

  // Skin items carry their pairs.
  const qim_skin_t& skin = *g.skin;
  EXPECT_EQ(skin.stream_count, 1u);
  ASSERT_EQ(skin.streams.size(), 1u);
  const qim_skinstream_t& stream = *static_cast<qim_skinstream_t*>(skin.streams[0]);
  EXPECT_STREQ(stream.tag.text, "_POSITION");
  EXPECT_EQ(stream.weight_capacity, 3u);
  EXPECT_EQ(stream.weights_used, 3u);
  EXPECT_EQ(stream.clones_used, 7u);
  ASSERT_EQ(stream.skin_items.size(), 2u);
  const qim_skinitem_t& item = stream.skin_items[1];
  EXPECT_EQ(item.weight_count, 2u);
  EXPECT_EQ(item.first_weight[0].weight, 0.75f);
  EXPECT_EQ(item.first_weight[1].bone, 1u);
  EXPECT_EQ(item.clone_count, 4u);
  EXPECT_EQ(item.first_clone[3].piece, 1u);
  EXPECT_EQ(item.first_clone[3].vertex, 3u);
}

TEST(qix_parser, matrices_are_stored_transposed) {
  corpus_document_t d("corpus/skeleton/valid_two_bones.qis", QIX_SKELETON);
  ASSERT_TRUE(d.loaded);
  const qis_t& s = *static_cast<qis_t*>(d.root);
  ASSERT_EQ(s.bones->bone_list.size(), 2u);
  const qis_bone_t& arm = s.bones->bone_list[1];
  EXPECT_STREQ(arm.parent.text, "root");
  EXPECT_EQ(arm.matrix.m[3], 5.0f);
  EXPECT_EQ(arm.matrix.m[7], 6.0f);
  EXPECT_EQ(arm.matrix.m[11], 7.0f);
  EXPECT_EQ(arm.matrix.m[12], 0.0f);
  EXPECT_EQ(arm.inverse.m[3], -5.0f);

  corpus_document_t a("corpus/animation/valid_two_channels.qia", QIX_ANIMATION);
  ASSERT_TRUE(a.loaded);
  const qia_channel_t& channel = *static_cast<qia_t*>(a.root)->bone_channels[0];
  const float* key = reinterpret_cast<const float*>(channel.streams[1]->item(1));
  EXPECT_EQ(key[1], -1.0f) << "the fifth number written is row 0, column 1";
  EXPECT_EQ(key[4], 1.0f);
  EXPECT_EQ(key[7], 2.0f);

  corpus_document_t bits("corpus/scanner/bit_patterns.qis", QIX_SKELETON);  // bit patterns and suffixes
  ASSERT_TRUE(bits.loaded);
  const qis_bone_t& same = static_cast<qis_t*>(bits.root)->bones->bone_list[1];
  EXPECT_EQ(std::memcmp(same.matrix.m, arm.matrix.m, sizeof arm.matrix.m), 0);
}

TEST(qix_parser, animation_channels_by_keyword_and_integer_items_in_float_streams) {
  corpus_document_t d("corpus/animation/valid_two_channels.qia", QIX_ANIMATION);
  ASSERT_TRUE(d.loaded);
  const qia_t& a = *static_cast<qia_t*>(d.root);
  EXPECT_EQ(a.global->total_time, 1.0f);
  EXPECT_STREQ(a.global->skeleton.text, "biped");
  ASSERT_EQ(a.custom_channels.size(), 1u);
  ASSERT_EQ(a.bone_channels.size(), 1u);
  EXPECT_STREQ(a.bone_channels[0]->name.text, "arm");
  EXPECT_EQ(a.bone_channels[0]->keyframe_count, 2u);
  const qix_stream_t* time = a.bone_channels[0]->find_stream("_TIME");
  ASSERT_NE(time, nullptr);
  EXPECT_EQ(time->format, QIX_FORMAT_FLOAT);
  EXPECT_EQ(a.custom_channels[0]->streams[0]->format, QIX_FORMAT_INT);

  // A float stream keeps the bytes of integer items.
  corpus_document_t g("corpus/geometry/valid_float_stream_integers.qim", QIX_GEOMETRY);
  ASSERT_TRUE(g.loaded);
  const qix_stream_t* ids = static_cast<qim_t*>(g.root)->pieces[0]->find_stream("_ID");
  ASSERT_NE(ids, nullptr);
  std::int32_t value;
  std::memcpy(&value, ids->item(2), 4);
  EXPECT_EQ(value, -3);
}

TEST(qix_parser, trait_looks_and_variants) {
  corpus_document_t d("corpus/trait/valid_looks.qit", QIX_TRAIT);
  ASSERT_TRUE(d.loaded);
  const qit_t& t = *static_cast<qit_t*>(d.root);
  ASSERT_EQ(t.looks.size(), 1u);
  const qit_material_t& material = *t.looks[0]->materials[0];
  EXPECT_EQ(material.attribute_count, 2u);
  ASSERT_EQ(material.attributes.size(), 2u);
  EXPECT_EQ(material.attributes[0]->format, QIX_FORMAT_FLOAT3);
  EXPECT_EQ(reinterpret_cast<const float*>(material.attributes[0]->value.data)[2], 0.5f);
  EXPECT_STREQ(reinterpret_cast<const char*>(material.attributes[1]->value.data), "phong");
  ASSERT_EQ(material.textures.size(), 1u);
  EXPECT_STREQ(material.textures[0]->value.text, "hunter.png");
  ASSERT_EQ(t.variants.size(), 1u);
  const qit_part_t& part = *t.variants[0]->parts[0];
  EXPECT_STREQ(part.name.text, "body");
  EXPECT_EQ(part.attributes[0]->value.format, QIX_FORMAT_INT);
}

TEST(qix_parser, collision_locators_keep_the_parameters_of_their_type_without_meshes_too) {
  corpus_document_t d("corpus/collision/valid_shapes.qic", QIX_COLLISION);
  ASSERT_TRUE(d.loaded);
  const qic_t& c = *static_cast<qic_t*>(d.root);
  ASSERT_EQ(c.locators.size(), 2u);
  EXPECT_EQ(c.locators[0]->type, QIC_BOX);
  EXPECT_EQ(c.locators[0]->parameters[2], 0.25f);
  const qic_locator_t& capsule = *c.locators[1];
  EXPECT_EQ(capsule.type, QIC_CAPSULE);
  EXPECT_EQ(capsule.parameters[0], 0.2f);
  EXPECT_EQ(capsule.parameters[1], 0.4f);
  EXPECT_EQ(capsule.parameters[2], 0.0f) << "unused parameters are 0";
  EXPECT_EQ(capsule.weight, 0.5f);
  EXPECT_STREQ(capsule.alias.text, "head");

  corpus_document_t s("corpus/collision/valid_sphere.qic", QIX_COLLISION);
  ASSERT_TRUE(s.loaded);
  const qic_locator_t& sphere = *static_cast<qic_t*>(s.root)->locators[1];
  EXPECT_EQ(sphere.type, QIC_SPHERE);
  EXPECT_EQ(sphere.parameters[0], 0.2f);
  EXPECT_EQ(sphere.parameters[1], 0.0f);

  parsed_text_t no_meshes(
      "Header { FormatVersion : 2 Source : \"\" Type : \"\" Name : \"\" }\n"
      "Global { VertexCount : 0 TriangleCount : 0 MaterialCount : 0 PieceCount : 0 PartCount : 1 LocatorCount : 1 }\n"
      "Part { Name : \"p\" PieceCount : 0 LocatorCount : 1 Pieces : Locators : 0 }\n"
      "Locator { Name : \"l\" Index : 0 Position : ( 0.0 0.0 0.0 ) Rotation : ( 1.0 0.0 0.0 0.0 ) Alias : \"\"\n"
      "  Weight : 1.0 Type : \"Sphere\" Parameters : ( 2.0 0.0 0.0 0.0 ) }\n",
      QIX_COLLISION);
  EXPECT_TRUE(no_meshes.loaded);
}

}  // namespace
}  // namespace keln
