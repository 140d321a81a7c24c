#include <gtest/gtest.h>

#include <string>

#include "kelncore/collections/strings.h"

namespace keln {
namespace {

TEST(string_local, truncates_and_reports_the_cut) {
  string_local_t<10> s;
  EXPECT_FALSE(s.assign("abcdefghijkl"));
  EXPECT_STREQ(s.c_str(), "abcdefghi");
  EXPECT_TRUE(s.assign("short"));
  EXPECT_STREQ(s.c_str(), "short");
  EXPECT_FALSE(s.format("%s-%d", "abcdef", 1234));
  EXPECT_STREQ(s.c_str(), "abcdef-12");
  EXPECT_TRUE(s.format("%d", 42));
  EXPECT_STREQ(s.c_str(), "42");
  EXPECT_FALSE(s.can_grow());
  EXPECT_EQ(s.capacity(), 10u);
}

TEST(string_local, copies_own_their_buffer) {
  string_local_t<64> a("bone");
  string_local_t<64> b(a);
  a = "other";
  EXPECT_STREQ(b.c_str(), "bone");
  EXPECT_NE(b.c_str(), a.c_str());
}

TEST(string_dyn, empty_strings_share_one_text_and_own_nothing) {
  string_dyn a;
  string_dyn b("");
  EXPECT_EQ(a.c_str(), b.c_str());
  EXPECT_EQ(a.capacity(), 0u);
  EXPECT_STREQ(a.c_str(), "");
}

TEST(string_dyn, grows_exactly_and_never_shrinks) {
  const std::string long_text(300, 'x');
  string_dyn s;
  EXPECT_TRUE(s.assign(long_text.c_str()));
  EXPECT_EQ(s.capacity(), 301u);
  EXPECT_EQ(s.c_str(), long_text);
  EXPECT_TRUE(s.assign("tiny"));
  EXPECT_EQ(s.capacity(), 301u);
  EXPECT_STREQ(s.c_str(), "tiny");
}

TEST(string_dyn, format_is_never_cut) {
  string_dyn s;
  const std::string big(5000, 'k');
  EXPECT_TRUE(s.format("<%s>", big.c_str()));
  EXPECT_EQ(s.length(), 5002u);
  EXPECT_EQ(s.capacity(), 5003u);
}

TEST(string_assign, offsets_and_counts) {
  string_local_t<64> s("keep");
  EXPECT_TRUE(s.assign("abcdef", 0, 2, 3));
  EXPECT_STREQ(s.c_str(), "cde");
  EXPECT_TRUE(s.assign("xyz", 0, 7));  // source offset beyond the source: cut at 0
  EXPECT_STREQ(s.c_str(), "");
  s = "head";
  EXPECT_TRUE(s.assign("tail", 4));
  EXPECT_STREQ(s.c_str(), "headtail");
  EXPECT_TRUE(s.assign("xyz", 2, 3));
  EXPECT_STREQ(s.c_str(), "he");
  EXPECT_TRUE(s.assign("abc", 0, 0, 0));
  EXPECT_STREQ(s.c_str(), "");
}

TEST(string_dyn, moves_take_the_buffer) {
  string_dyn a("moved text");
  const char* buffer = a.c_str();
  string_dyn b(std::move(a));
  EXPECT_EQ(b.c_str(), buffer);
  EXPECT_STREQ(a.c_str(), "");
  EXPECT_EQ(a.capacity(), 0u);
}

}  // namespace
}  // namespace keln
