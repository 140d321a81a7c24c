// Conversions of number tokens, including texts the scanner's patterns never
// hand over (the bit-pattern conversion refuses them).
#include <gtest/gtest.h>

#include <cstring>

#include "document_test_support.h"
#include "documents/qix_numbers.h"

namespace keln {
namespace {

TEST(qix_numbers, integers_detect_their_base_and_clamp) {
  EXPECT_EQ(qix_integer_value("0x7fffffff"), INT32_MAX);
  EXPECT_EQ(qix_integer_value("0x80000000"), INT32_MAX);
  EXPECT_EQ(qix_integer_value("-2147483648"), INT32_MIN);
  EXPECT_EQ(qix_integer_value("0777"), 511);
  EXPECT_EQ(qix_integer_value("0779"), 63) << "conversion stops at the 9";
  EXPECT_EQ(qix_integer_value("-0"), 0);
}

TEST(qix_numbers, decimals_ignore_the_suffix) {
  EXPECT_EQ(qix_decimal_value("2.5f"), 2.5f);
  EXPECT_EQ(qix_decimal_value("-.5F"), -0.5f);
  EXPECT_EQ(bits_of(qix_decimal_value("-0.0")), 0x80000000u);
  EXPECT_EQ(qix_decimal_value("1.17549435e-38"), 1.17549435e-38f);
}

TEST(qix_numbers, bit_patterns) {
  float value = 0.0f;
  EXPECT_TRUE(qix_bits_value("&3f800000", 9, value));
  EXPECT_EQ(value, 1.0f);
  EXPECT_TRUE(qix_bits_value("$0000803F", 9, value));
  EXPECT_EQ(value, 1.0f);
  EXPECT_TRUE(qix_bits_value("&00000001", 9, value));
  EXPECT_EQ(bits_of(value), 1u);
}

TEST(qix_numbers, malformed_bit_patterns_are_refused) {
  float value = 7.0f;
  EXPECT_FALSE(qix_bits_value("&3F80000G", 9, value));
  EXPECT_FALSE(qix_bits_value("&3F80000", 8, value));
  EXPECT_FALSE(qix_bits_value("#3F800000", 9, value));
  EXPECT_FALSE(qix_bits_value("&3F8000000", 10, value));
  EXPECT_EQ(value, 7.0f) << "a refused text leaves the value alone";
}

}  // namespace
}  // namespace keln
