#include "velm/bone_name_token.h"

#include <gtest/gtest.h>

namespace keln::velm {
namespace {

std::uint64_t token_of(const char* name) {
  std::uint64_t token = 12345;
  EXPECT_TRUE(bone_name_token(name, token)) << name;
  return token;
}

bool has_token(const char* name) {
  std::uint64_t token = 12345;
  const bool result = bone_name_token(name, token);
  if (!result) {
    EXPECT_EQ(token, 12345u) << "a refused name must leave the token untouched";
  }
  return result;
}

TEST(bone_name_token, digits_of_each_character_class) {
  EXPECT_EQ(token_of(""), 0u);
  EXPECT_EQ(token_of("0"), 1u);
  EXPECT_EQ(token_of("9"), 10u);
  EXPECT_EQ(token_of("a"), 11u);
  EXPECT_EQ(token_of("z"), 36u);
  EXPECT_EQ(token_of("_"), 37u);
}

TEST(bone_name_token, first_character_is_least_significant_and_case_is_ignored) {
  // "root": r = 28, o = 25, o = 25, t = 30.
  EXPECT_EQ(token_of("root"), 28u + 25u * 38u + 25u * 38u * 38u + 30u * 38u * 38u * 38u);
  EXPECT_EQ(token_of("ROOT"), token_of("root"));
  EXPECT_EQ(token_of("Ab"), 11u + 12u * 38u);
  EXPECT_NE(token_of("ab"), token_of("ba"));
}

TEST(bone_name_token, twelve_characters_fit_and_thirteen_do_not) {
  // Twelve '_' is the largest token: 37 * (38^12 - 1) / 37.
  std::uint64_t largest = 0, place = 1;
  for (int i = 0; i < 12; ++i, place *= 38) largest += 37 * place;
  EXPECT_EQ(token_of("____________"), largest);
  EXPECT_FALSE(has_token("_____________"));
}

TEST(bone_name_token, other_characters_have_no_token) {
  EXPECT_FALSE(has_token("left arm"));
  EXPECT_FALSE(has_token("arm.l"));
  EXPECT_FALSE(has_token("bone-1"));
  EXPECT_FALSE(has_token("\xc3\xa9"));
}

TEST(bone_name_token, token_of_gives_zero_for_names_without_token) {
  EXPECT_EQ(bone_name_token_of("arm.l"), 0u);
  EXPECT_EQ(bone_name_token_of("root"), token_of("root"));
}

}  // namespace
}  // namespace keln::velm
