#include "velm/bone_name_token.h"

#include <gtest/gtest.h>

namespace keln::velm {

// Base-38 digits, the first character least significant: 0-9 are 1-10, a-z
// (either case) 11-36, '_' 37. Up to twelve characters have a token; a name
// without one leaves the token as it was.
TEST(bone_name_token, names_and_their_tokens) {
  constexpr std::uint64_t untouched = 12345, root = 28 + 25 * 38 + 25 * 38 * 38 + 30 * 38 * 38 * 38;
  const struct {
    const char* name;
    bool has_token;
    std::uint64_t token;
  } rows[] = {{"", true, 0},   {"0", true, 1},     {"9", true, 10},     {"a", true, 11},
              {"z", true, 36}, {"_", true, 37},    {"Ab", true, 11 + 12 * 38}, {"root", true, root},
              {"ROOT", true, root}, {"____________", true, 9065737908494995455ull},  // 38^12 - 1
              {"_____________", false, untouched}, {"left arm", false, untouched}, {"arm.l", false, untouched},
              {"bone-1", false, untouched},        {"\xc3\xa9", false, untouched}};
  for (const auto& row : rows) {
    std::uint64_t token = untouched;
    EXPECT_EQ(bone_name_token(row.name, token), row.has_token) << row.name;
    EXPECT_EQ(token, row.token) << row.name;
    EXPECT_EQ(bone_name_token_of(row.name), row.has_token ? row.token : 0u) << row.name;
  }
}

}  // namespace keln::velm
