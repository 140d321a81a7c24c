#include <gtest/gtest.h>

#include <regex>
#include <vector>

#include "kelncore/collections/arrays/arrays_dyn.h"
#include "kelncore/collections/arrays/arrays_local.h"
#include "kelncore/collections/strings.h"
#include "kelncore/system/messages.h"

namespace keln {
namespace {

TEST(array_dyn, capacities_follow_the_growth_policy) {
  array_dyn_t<unsigned> a;
  EXPECT_EQ(a.data(), nullptr);
  std::vector<unsigned> seen{a.capacity()};
  for (unsigned i = 0; i < 30; ++i) {
    a.push_back(i);
    if (seen.back() != a.capacity()) seen.push_back(a.capacity());
  }
  EXPECT_EQ(seen, (std::vector<unsigned>{0, 2, 6, 14, 30}));
  for (unsigned i = 0; i < 30; ++i) EXPECT_EQ(a[i], i);
}

TEST(array_dyn, copies_and_assignment_keep_the_values_and_resize_zero_fills) {
  array_dyn_t<string_dyn> a, b;
  a.push_back(string_dyn("x"));
  a.push_back(string_dyn("yy"));
  b.push_back(string_dyn("old"));
  b = a;
  b = static_cast<const array_t<string_dyn>&>(b);  // self-assignment changes nothing
  array_dyn_t<string_dyn> c(b);
  ASSERT_EQ(c.size(), 2u);
  EXPECT_STREQ(c[0].c_str(), "x");
  EXPECT_STREQ(c[1].c_str(), "yy");
  array_dyn_t<float> f;
  ASSERT_TRUE(f.resize(3));
  for (float v : f) EXPECT_EQ(v, 0.0f);
}

TEST(array_dyn, erase_find_and_remove) {
  array_dyn_t<int> a;
  for (int v : {0, 4, 7, 4, 9}) a.push_back(v);
  EXPECT_EQ(a.erase(0u) + 1, a.data());  // the place before the erased one
  EXPECT_EQ(a.erase(&a[3]), &a[2]);
  EXPECT_EQ(a.find(4), &a[0]);
  EXPECT_EQ(a.find(5), nullptr);
  a.remove(4);  // the first one only
  a.remove(5);  // absent: nothing changes
  ASSERT_EQ(a.size(), 2u);
  EXPECT_EQ(a[0], 7);
  EXPECT_EQ(a[1], 4);
}

// The exact line a failed check prints through the standard handler.
std::string check_line(const char* file, const char* message) {
  return std::regex_replace(std::string("*** ERROR *** : kelncore/collections/arrays/") + file, std::regex(R"([*.()])"),
                            R"(\$&)") +
         R"(\([0-9]+\): unknown fn: )" + std::regex_replace(message, std::regex(R"([\[\].()])"), R"(\$&)") + "\r\n";
}

struct tiny_t : array_dyn_t<int> {  // a block that never holds more than it has
  void reserve(std::uint32_t) override {}
  using array_dyn_t<int>::operator=;
};

TEST(array_death, failed_checks_end_the_process_with_the_check_line) {
  const char* const overflow = "[array_t] boundary check failed - index overflow";
  struct {
    void (*fault)();
    const char* file;
    const char* message;
  } const cases[] = {
      {[] { array_dyn_t<int> a; a.push_back(1); a[1] = 2; }, "arrays_base_impl.h", overflow},
      {[] { array_local_t<int, 2> a; a.erase(0u); }, "arrays_base_impl.h", overflow},
      {[] { array_dyn_t<int> a; a.push_back(1); a.erase(a.data() - 1); }, "arrays_base_impl.h",
       "[array_t] boundary check failed - iterator underflow"},
      {[] { array_dyn_t<int> a; a.push_back(1); a.erase(a.data() + 1); }, "arrays_base_impl.h",
       "[array_t] boundary check failed - iterator overflow"},
      {[] { array_local_t<int, 40> source; source.resize(40); tiny_t destination; destination = source; },
       "arrays_dyn.h", "Failed to allocate enough elements to accomodate elements of rhs array."},
  };
  for (const auto& c : cases)
    EXPECT_DEATH(
        {
          message_stdio_t handler;
          c.fault();
        },
        check_line(c.file, c.message));
}

}  // namespace
}  // namespace keln
