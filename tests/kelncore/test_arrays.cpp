#include <gtest/gtest.h>

#include <cstring>

#include "kelncore/collections/arrays/arrays_dyn.h"
#include "kelncore/collections/arrays/arrays_local.h"
#include "kelncore/collections/auto_ptr.h"
#include "kelncore/collections/strings.h"
#include "kelncore/system/messages.h"

namespace keln {
namespace {

// The exact line a failed array check prints through the standard handler.
std::string check_line(const char* file, const char* message) {
  std::string pattern = "\\*\\*\\* ERROR \\*\\*\\* : ";
  pattern += file;
  pattern += "\\([0-9]+\\): unknown fn: ";
  for (const char* c = message; *c; ++c) {
    if (std::strchr("[]().*+?", *c)) pattern += '\\';
    pattern += *c;
  }
  pattern += "\r\n";
  return pattern;
}

using two_ints = array_local_t<int, 2>;
using forty_ints = array_local_t<int, 40>;

const char* const base_file = "kelncore/collections/arrays/arrays_base_impl\\.h";

TEST(array_dyn, capacities_follow_the_growth_policy) {
  array_dyn_t<unsigned> a;
  EXPECT_EQ(a.capacity(), 0u);
  EXPECT_EQ(a.data(), nullptr);
  std::vector<unsigned> seen;
  for (unsigned i = 0; i < 30; ++i) {
    a.push_back(i);
    if (seen.empty() || seen.back() != a.capacity()) seen.push_back(a.capacity());
  }
  EXPECT_EQ(seen, (std::vector<unsigned>{2, 6, 14, 30}));
  for (unsigned i = 0; i < 30; ++i) EXPECT_EQ(a[i], i);
}

TEST(array_dyn, reserve_within_capacity_reallocates_and_keeps_values) {
  array_dyn_t<string_dyn> a;
  a.push_back(string_dyn("first"));
  a.push_back(string_dyn("second"));
  const string_dyn* before = a.data();
  a.reserve(1);
  EXPECT_EQ(a.capacity(), 2u);
  EXPECT_NE(a.data(), before);
  EXPECT_STREQ(a[0].c_str(), "first");
  EXPECT_STREQ(a[1].c_str(), "second");
  a.reallocate();
  EXPECT_STREQ(a[1].c_str(), "second");
}

TEST(array_dyn, growth_moves_owning_elements) {
  static int deleted = 0;
  struct counted {
    virtual ~counted() { ++deleted; }
  };
  deleted = 0;
  {
    array_dyn_t<auto_ptr_t<counted>> a;
    for (int i = 0; i < 20; ++i) a.push_back(auto_ptr_t<counted>(new counted));
    EXPECT_EQ(deleted, 0);
    a.erase(3u);
    EXPECT_EQ(deleted, 1);
  }
  EXPECT_EQ(deleted, 20);
}

TEST(array_dyn, erase_returns_the_place_before_and_shifts) {
  array_dyn_t<int> a;
  for (int i = 0; i < 5; ++i) a.push_back(i * 10);
  int* place = a.erase(0u);
  EXPECT_EQ(place + 1, a.data());
  EXPECT_EQ(a.size(), 4u);
  EXPECT_EQ(a[0], 10);
  place = a.erase(&a[3]);
  EXPECT_EQ(place, &a[2]);
  EXPECT_EQ(a.size(), 3u);
  EXPECT_EQ(a[0], 10);
  EXPECT_EQ(a[1], 20);
  EXPECT_EQ(a[2], 30);
}

TEST(array_dyn, find_remove_and_absent_values) {
  array_dyn_t<int> a;
  for (int v : {4, 7, 4, 9}) a.push_back(v);
  EXPECT_EQ(a.find(4), &a[0]);
  EXPECT_EQ(a.find(5), nullptr);
  a.remove(4);
  ASSERT_EQ(a.size(), 3u);
  EXPECT_EQ(a[0], 7);
  EXPECT_EQ(a[1], 4);
  a.remove(5);  // absent: nothing changes
  EXPECT_EQ(a.size(), 3u);
}

TEST(array_dyn, copy_assignment_copies_elements_and_ignores_self) {
  array_dyn_t<string_dyn> a;
  a.push_back(string_dyn("x"));
  a.push_back(string_dyn("yy"));
  array_dyn_t<string_dyn> b;
  b.push_back(string_dyn("old"));
  b = a;
  ASSERT_EQ(b.size(), 2u);
  EXPECT_STREQ(b[1].c_str(), "yy");
  EXPECT_STREQ(a[1].c_str(), "yy");
  b = static_cast<const array_t<string_dyn>&>(b);
  EXPECT_EQ(b.size(), 2u);
  array_dyn_t<string_dyn> c(a);
  EXPECT_STREQ(c[0].c_str(), "x");
}

TEST(array_dyn, resize_shrinks_and_grows_value_initialised) {
  array_dyn_t<float> a;
  ASSERT_TRUE(a.resize(3));
  for (float v : a) EXPECT_EQ(v, 0.0f);
  a[2] = 5.0f;
  ASSERT_TRUE(a.resize(1));
  EXPECT_EQ(a.size(), 1u);
  a.clear();
  EXPECT_EQ(a.size(), 0u);
  EXPECT_GE(a.capacity(), 3u);
}

TEST(array_local, refuses_to_grow_past_its_capacity) {
  array_local_t<int*, 8> a;
  int values[9];
  for (int i = 0; i < 8; ++i) EXPECT_NE(a.push_back(&values[i]), nullptr);
  EXPECT_EQ(a.push_back(&values[8]), nullptr);
  EXPECT_EQ(a.size(), 8u);
  EXPECT_FALSE(a.resize(9));
  EXPECT_EQ(a.capacity(), 8u);
  a.remove(&values[8]);  // never registered: unchanged
  EXPECT_EQ(a.size(), 8u);
}

using array_death = ::testing::Test;

TEST(array_death, index_overflow_ends_the_process_with_the_check_line) {
  EXPECT_DEATH(
      {
        message_stdio_t handler;
        array_dyn_t<int> a;
        a.push_back(1);
        a[1] = 2;
      },
      check_line(base_file, "[array_t] boundary check failed - index overflow"));
}

TEST(array_death, iterator_checks_report_underflow_and_overflow) {
  EXPECT_DEATH(
      {
        message_stdio_t handler;
        array_dyn_t<int> a;
        a.push_back(1);
        a.erase(a.data() - 1);
      },
      check_line(base_file, "[array_t] boundary check failed - iterator underflow"));
  EXPECT_DEATH(
      {
        message_stdio_t handler;
        array_dyn_t<int> a;
        a.push_back(1);
        a.erase(a.data() + 1);
      },
      check_line(base_file, "[array_t] boundary check failed - iterator overflow"));
}

TEST(array_death, erase_of_an_index_past_the_end_is_an_index_overflow) {
  EXPECT_DEATH(
      {
        message_stdio_t handler;
        two_ints a;
        a.erase(0u);
      },
      check_line(base_file, "[array_t] boundary check failed - index overflow"));
}

TEST(array_death, copy_that_cannot_resize_fails_its_check) {
  EXPECT_DEATH(
      {
        message_stdio_t handler;
        forty_ints source;
        source.resize(40);
        // A destination whose block can never hold 40 elements.
        struct tiny_t : array_dyn_t<int> {
          void reserve(std::uint32_t) override {}
          using array_dyn_t<int>::operator=;
        } destination;
        destination = source;
      },
      check_line("kelncore/collections/arrays/arrays_dyn\\.h",
                 "Failed to allocate enough elements to accomodate elements of rhs array."));
}

}  // namespace
}  // namespace keln
