// Every shipped document loads silently, is small enough, and the
// skeletons are ordered hierarchies whose names all have tokens.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "chargen_catalog.h"
#include "kelncore/system/messages.h"

namespace keln::chargen_test {
namespace {

class warnings_t : public message_handler_t {
 public:
  void handle(const string& text, message_level_t level) override {
    if (level != ML_INFO) lines.push_back(text.c_str());
  }
  std::vector<std::string> lines;
};

bool token_character(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

TEST(chargen_documents, every_document_loads_without_a_warning_or_error) {
  for (const character_entry_t& entry : catalog()) {
    warnings_t warnings;
    loaded_character_t c(entry);
    EXPECT_NE(c.skeleton, nullptr) << entry.skeleton;
    EXPECT_NE(c.geometry, nullptr) << entry.geometry;
    for (size_t i = 0; i < c.animations.size(); ++i)
      EXPECT_NE(c.animations[i], nullptr) << entry.animations[i].path;
    EXPECT_TRUE(warnings.lines.empty()) << entry.name << ": " << warnings.lines.front();
  }
}

TEST(chargen_documents, animation_documents_are_at_most_one_and_a_half_megabytes) {
  for (const character_entry_t& entry : catalog())
    for (const animation_entry_t& a : entry.animations) {
      struct stat info;
      ASSERT_EQ(stat(a.path, &info), 0) << a.path;
      EXPECT_LE(info.st_size, 1500000) << a.path;
    }
}

TEST(chargen_documents, skeletons_list_parents_before_children_under_one_root) {
  for (const character_entry_t& entry : catalog()) {
    loaded_character_t c(entry);
    ASSERT_NE(c.skeleton, nullptr);
    const array_dyn_t<qis_bone_t>& bones = c.skeleton->bones->bone_list;
    EXPECT_GE(bones.size(), 20u) << entry.name;
    EXPECT_LE(bones.size(), 60u) << entry.name;
    EXPECT_EQ(bones.size(), c.skeleton->global->bone_count);
    int roots = 0;
    for (std::uint32_t i = 0; i < bones.size(); ++i) {
      bool found = false;
      std::int32_t parent = c.skeleton->bones->find_bone(bones[i].parent.c_str(), found);
      EXPECT_TRUE(found) << entry.name << " " << bones[i].name.c_str();
      EXPECT_LT(parent, std::int32_t(i)) << entry.name << " " << bones[i].name.c_str();
      roots += parent < 0;
      // The name index finds every bone under its own name: names are unique.
      EXPECT_EQ(c.skeleton->bones->find_bone(bones[i].name.c_str(), found), std::int32_t(i));
    }
    EXPECT_EQ(roots, 1) << entry.name;
  }
}

TEST(chargen_documents, every_bone_name_has_a_token) {
  for (const character_entry_t& entry : catalog()) {
    loaded_character_t c(entry);
    ASSERT_NE(c.skeleton, nullptr);
    for (const qis_bone_t& b : c.skeleton->bones->bone_list) {
      std::string name = b.name.c_str();
      EXPECT_GE(name.size(), 1u);
      EXPECT_LE(name.size(), 12u) << name;
      for (char ch : name) EXPECT_TRUE(token_character(ch)) << name;
    }
  }
}

TEST(chargen_documents, geometry_names_the_skeleton_bones_in_skeleton_order) {
  for (const character_entry_t& entry : catalog()) {
    loaded_character_t c(entry);
    ASSERT_NE(c.skeleton, nullptr);
    ASSERT_NE(c.geometry, nullptr);
    const array_dyn_t<qis_bone_t>& bones = c.skeleton->bones->bone_list;
    ASSERT_EQ(c.geometry->bone_names.size(), bones.size());
    for (std::uint32_t i = 0; i < bones.size(); ++i)
      EXPECT_STREQ(c.geometry->bone_names[i].c_str(), bones[i].name.c_str());
  }
}

TEST(chargen_documents, rest_transforms_are_translations) {
  // Skinning and the animations assume identity rest orientations.
  for (const character_entry_t& entry : catalog()) {
    loaded_character_t c(entry);
    ASSERT_NE(c.skeleton, nullptr);
    for (const qis_bone_t& b : c.skeleton->bones->bone_list)
      for (unsigned r = 0; r < 4; ++r)
        for (unsigned k = 0; k < 3; ++k) EXPECT_EQ(b.matrix.at(r, k), r == k ? 1.0f : 0.0f) << b.name.c_str();
  }
}

}  // namespace
}  // namespace keln::chargen_test
