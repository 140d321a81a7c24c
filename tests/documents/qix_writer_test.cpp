// The writer: float text that reads back bit for bit and the models it
// refuses to write (qixcheck --dump checks the layout against a golden file).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>

#include "document_test_support.h"
#include "documents/qix_numbers.h"
#include "documents/qix_writer.h"

namespace keln {
namespace {

float float_of(std::uint32_t bits) {
  float value;
  std::memcpy(&value, &bits, sizeof(value));
  return value;
}

// The float the scanner reads from the writer's text.
float read_back(const char* text) {
  float value = 0.0f;
  if (text[0] == '&') EXPECT_TRUE(qix_bits_value(text, static_cast<std::uint32_t>(std::strlen(text)), value));
  else value = qix_decimal_value(text);
  return value;
}

std::string float_text(float value) {
  char text[24];
  qix_write_float(value, text);
  return text;
}

TEST(qix_write_float, short_texts_with_a_point_or_an_exponent) {
  const std::pair<float, const char*> cases[] = {
      {1.0f, "1.0"},       {0.1f, "0.1"},          {-2.5f, "-2.5"},          {-0.0f, "-0.0"},
      {123456.0f, "123456.0"}, {1e30f, "1e+30"},   {INFINITY, "&7F800000"}, {-INFINITY, "&FF800000"},
      {float_of(0x7FC00001u), "&7FC00001"}};
  for (const auto& [value, text] : cases) EXPECT_EQ(float_text(value), text);
}

TEST(qix_write_float, every_kind_of_float_reads_back_bit_for_bit) {
  std::mt19937 random(20261206);
  const std::uint32_t specials[] = {0x00000001u, 0x80000001u, 0x007FFFFFu, 0x00800000u,
                                    0x7F7FFFFFu, 0xFF7FFFFFu, 0x3F800001u, 0x80000000u};
  for (std::uint32_t bits : specials) EXPECT_EQ(bits_of(read_back(float_text(float_of(bits)).c_str())), bits);
  for (int i = 0; i < 200000; ++i) {
    const std::uint32_t bits = random();
    const std::string text = float_text(float_of(bits));
    ASSERT_EQ(bits_of(read_back(text.c_str())), bits) << text;
  }
}

TEST(qix_writer, refuses_what_would_not_read_back) {
  void (*const faults[])(qim_t&) = {
      [](qim_t& d) { d.materials[0]->alias = "say \"hi\""; },               // strings cannot hold a double quote
      [](qim_t& d) { d.pieces[0]->streams[0]->format = QIX_FORMAT_WORD; },  // no keyword for the format
      [](qim_t& d) { d.bone_names.clear(); },                               // a skin needs bone names
      [](qim_t& d) { d.header = nullptr; },
  };
  for (auto fault : faults) {
    parsed_text_t d(read_text_file("corpus/geometry/valid_skinned.qim"), QIX_GEOMETRY);
    ASSERT_TRUE(d.loaded);
    qix_buffer_out_t out;
    ASSERT_TRUE(qim_write(*static_cast<qim_t*>(d.root), out));
    fault(*static_cast<qim_t*>(d.root));
    EXPECT_FALSE(qim_write(*static_cast<qim_t*>(d.root), out));
  }
  qis_t skeleton;  // no header
  qix_buffer_out_t out;
  EXPECT_FALSE(qis_write(skeleton, out));
}

}  // namespace
}  // namespace keln
