#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kelncore/collections/list.h"
#include "kelncore/collections/strings.h"

namespace keln {
namespace {

TEST(string_local, truncates_and_reports_the_cut) {
  string_local_t<10> s;
  EXPECT_FALSE(s.assign("abcdefghijkl"));
  EXPECT_STREQ(s.c_str(), "abcdefghi");
  EXPECT_TRUE(s.assign("short"));
  EXPECT_FALSE(s.format("%s-%d", "abcdef", 1234));
  EXPECT_STREQ(s.c_str(), "abcdef-12");
  EXPECT_TRUE(s.format("%d", 42));
  EXPECT_STREQ(s.c_str(), "42");
  EXPECT_TRUE(string_local_t<10>("x").format("%s", ""));  // an empty text is whole, not cut
}

TEST(string_dyn, grows_exactly_never_shrinks_and_moves_its_buffer) {
  string_dyn a;
  const std::string big(5000, 'x');
  EXPECT_TRUE(a.format("<%s>", big.c_str()));  // never cut
  EXPECT_EQ(a.length(), 5002u);
  EXPECT_EQ(a.capacity(), 5003u);
  EXPECT_TRUE(a.assign("tiny"));
  EXPECT_EQ(a.capacity(), 5003u);
  string_dyn exact("abcd");  // capacity 5: a count of 5 fills it and must grow it
  EXPECT_TRUE(exact.assign("abcdefgh", 0, 0, 5));
  EXPECT_STREQ(exact.c_str(), "abcde");
  string_dyn moved(std::move(a));
  EXPECT_EQ(a.capacity(), 0u);
}

TEST(string_assign, offsets_and_counts) {
  struct {
    const char *before, *source;
    std::uint32_t offset, source_offset, count;
    const char* after;
  } const cases[] = {
      {"keep", "abcdef", 0, 2, 3, "cde"},     {"keep", "xyz", 0, 7, mstring_t::all, ""},  // source offset beyond the source
      {"head", "tail", 4, 0, mstring_t::all, "headtail"}, {"head", "xyz", 2, 3, mstring_t::all, "he"},
      {"keep", "abc", 0, 0, 0, ""},
  };
  for (const auto& c : cases) {
    string_local_t<64> s(c.before);
    EXPECT_TRUE(s.assign(c.source, c.offset, c.source_offset, c.count));
    EXPECT_STREQ(s.c_str(), c.after) << c.before << " " << c.source;
  }
}

TEST(list_dyn, pooled_nodes_are_reused_after_clear_and_insert_links_before) {
  list_dyn_t<int> list(256);
  for (int i = 0; i < 300; ++i) ASSERT_NE(list.push_back(i), nullptr);
  EXPECT_EQ(list.chunk_count(), 2u);
  int expected = 0;
  for (int v : list) EXPECT_EQ(v, expected++);
  list.clear();
  for (int i = 0; i < 300; ++i) list.push_back(i);
  EXPECT_EQ(list.chunk_count(), 2u);  // the nodes of the first round are reused
  list.insert(++list.begin(), -1);
  EXPECT_EQ(*++list.begin(), -1);
}

}  // namespace
}  // namespace keln
