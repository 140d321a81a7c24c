// Names cut and cleaned to the documents' limits stay unique.
#include "name_limits.h"

#include <gtest/gtest.h>

namespace keln::qiximport {
namespace {

TEST(name_limits, names_are_word_characters_cut_to_the_limit_and_unique) {
  name_registry_t names;
  EXPECT_EQ(names.bone_name("Hips"), "Hips");
  EXPECT_EQ(names.bone_name("hips"), "hips_2");
  EXPECT_EQ(names.bone_name("mixamorig:Spine"), "mixamorig_Sp");
  EXPECT_EQ(names.bone_name("LeftHandIndex1"), "LeftHandInde");
  EXPECT_EQ(names.bone_name("LeftHandIndex2"), "LeftHandIn_2");
  EXPECT_EQ(names.bone_name("LeftHandIndex3"), "LeftHandIn_3");
  EXPECT_EQ(names.bone_name(""), "bone");
  EXPECT_EQ(names.bone_name(""), "bone_2");
  // File names keep dashes and take the fallback when empty.
  EXPECT_EQ(names.file_name("Take 001", "animation"), "Take_001");
  EXPECT_EQ(names.file_name("walk-fast", "animation"), "walk-fast");
  EXPECT_EQ(names.file_name("", "animation"), "animation");
  EXPECT_EQ(names.file_name("", "animation"), "animation_2");
  EXPECT_EQ(names.file_name("../../etc/passwd", "animation"), "______etc_passwd");
  EXPECT_EQ(names.file_name(std::string(60, 'a'), "animation").size(), file_name_max_length);
}

}  // namespace
}  // namespace keln::qiximport
