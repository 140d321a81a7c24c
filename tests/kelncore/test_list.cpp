#include <gtest/gtest.h>

#include "kelncore/collections/auto_ptr.h"
#include "kelncore/collections/list.h"
#include "kelncore/collections/singleton.h"

namespace keln {
namespace {

TEST(list_dyn, pooled_nodes_are_reused_after_clear) {
  list_dyn_t<int> list(256);
  for (int i = 0; i < 300; ++i) ASSERT_NE(list.push_back(i), nullptr);
  EXPECT_EQ(list.size(), 300u);
  EXPECT_EQ(list.chunk_count(), 2u);
  int expected = 0;
  for (int v : list) EXPECT_EQ(v, expected++);
  list.clear();
  EXPECT_EQ(list.size(), 0u);
  EXPECT_FALSE(list.begin() != list.end());
  for (int i = 0; i < 300; ++i) list.push_back(i);
  EXPECT_EQ(list.chunk_count(), 2u);
}

TEST(list_dyn, insert_links_before_the_position) {
  list_dyn_t<int> list(4);
  list.push_back(1);
  list.push_back(3);
  auto position = list.begin();
  ++position;
  list.insert(position, 2);
  std::vector<int> values;
  for (int v : list) values.push_back(v);
  EXPECT_EQ(values, (std::vector<int>{1, 2, 3}));
}

TEST(auto_ptr, copying_transfers_ownership) {
  auto_ptr_t<int> a(new int(5));
  auto_ptr_t<int> b(a);
  EXPECT_EQ(a.get(), nullptr);
  ASSERT_NE(b.get(), nullptr);
  EXPECT_EQ(*b, 5);
  auto_ptr_t<int> c;
  c = b;
  EXPECT_EQ(b.get(), nullptr);
  EXPECT_EQ(*c, 5);
  c.reset(new int(6));
  EXPECT_EQ(*c, 6);
}

struct device_t : explicit_singleton_t<device_t> {};

TEST(explicit_singleton, lives_between_explicit_creation_and_destruction) {
  EXPECT_EQ(device_t::instance(), nullptr);
  {
    device_t device;
    EXPECT_EQ(device_t::instance(), &device);
  }
  EXPECT_EQ(device_t::instance(), nullptr);
}

}  // namespace
}  // namespace keln
