// The scanner on its own: token kinds and values, line counting and its
// messages, fed straight from text.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document_test_support.h"
#include "documents/qix_scanner.h"
#include "documents/qix_writer.h"
#include "qix_parser.hpp"

namespace keln {
namespace {

struct scan_result_t {
  std::vector<std::string> tokens;  // one description per token
  std::vector<std::uint32_t> lines; // the line counter after each token
  std::vector<int> kinds;
  std::vector<std::string> messages;
};

std::string describe(int kind) {
  char text[24];
  switch (kind) {
    case QIXT_INTEGER:
      return "i:" + std::to_string(qix_lval.integer);
    case QIXT_FLOAT:
      qix_write_float(qix_lval.real, text);
      return std::string("f:") + text;
    case QIXT_STRING:
      return std::string("s:") + qix_lval.text;
    case QIXT_START_GEOMETRY:
      return "start";
    default:
      if (kind < 256) return std::string(1, static_cast<char>(kind));
      return "kw:" + std::string(qix_scan_token_text(), qix_scan_token_length());
  }
}

// Scans text as a geometry document; the document-kind token is left out.
scan_result_t scan(const std::string& text) {
  scan_result_t result;
  message_log_t log;
  qix_scan_begin("s.qim", QIX_GEOMETRY);
  yy_buffer_state* buffer = qix_scan_bytes(text.data(), static_cast<int>(text.size()));
  EXPECT_EQ(qix_lex(), QIXT_START_GEOMETRY);
  EXPECT_EQ(qix_scan_token_length(), 0u);
  for (int kind = qix_lex(); kind != 0; kind = qix_lex()) {
    result.tokens.push_back(describe(kind));
    result.lines.push_back(qix_scan_line());
    result.kinds.push_back(kind);
  }
  EXPECT_EQ(qix_scan_token_length(), 0u) << "the end of input has no token text";
  qix_scan_end(buffer);
  result.messages = log.lines;
  return result;
}

using strings = std::vector<std::string>;

TEST(qix_scanner, keywords_ignore_case_and_need_no_separator) {
  const scan_result_t r = scan("Vertexcount VERTEXCOUNT VertexCount NameTag Float4x4 Float4 Weights Weight");
  ASSERT_EQ(r.kinds.size(), 9u);
  EXPECT_EQ(r.kinds[0], QIXT_VERTEXCOUNT);
  EXPECT_EQ(r.kinds[1], QIXT_VERTEXCOUNT);
  EXPECT_EQ(r.kinds[2], QIXT_VERTEXCOUNT);
  EXPECT_EQ(r.kinds[3], QIXT_NAME);
  EXPECT_EQ(r.kinds[4], QIXT_TAG);
  EXPECT_EQ(r.kinds[5], QIXT_FLOAT4X4_FORMAT);
  EXPECT_EQ(r.kinds[6], QIXT_FLOAT4_FORMAT);
  EXPECT_EQ(r.kinds[7], QIXT_WEIGHTS);
  EXPECT_EQ(r.kinds[8], QIXT_WEIGHT);
  EXPECT_TRUE(r.messages.empty());
}

TEST(qix_scanner, a_keyword_followed_by_a_stray_letter) {
  const scan_result_t r = scan("PiecesX");
  EXPECT_EQ(r.kinds, std::vector<int>{QIXT_PIECES});
  EXPECT_EQ(r.messages, strings{"*** ERROR *** : s.qim:1: unknown token : 'X'"});
}

TEST(qix_scanner, a_word_that_is_no_keyword_gives_one_message_per_character) {
  const scan_result_t r = scan("abc");
  EXPECT_TRUE(r.tokens.empty());
  EXPECT_EQ(r.messages, (strings{"*** ERROR *** : s.qim:1: unknown token : 'a'",
                                 "*** ERROR *** : s.qim:1: unknown token : 'b'",
                                 "*** ERROR *** : s.qim:1: unknown token : 'c'"}));
}

TEST(qix_scanner, punctuation_and_strings_without_blanks) {
  EXPECT_EQ(scan("Name:\"a\"").tokens, (strings{"kw:Name", ":", "s:a"}));
  EXPECT_EQ(scan("{}():").tokens, (strings{"{", "}", "(", ")", ":"}));
}

TEST(qix_scanner, integers_in_three_bases) {
  EXPECT_EQ(scan("( 1 2 3 )").tokens, (strings{"(", "i:1", "i:2", "i:3", ")"}));
  EXPECT_EQ(scan("0x1A 0X1a 017 08 09 -017 -08 0").tokens,
            (strings{"i:26", "i:26", "i:15", "i:0", "i:0", "i:-15", "i:0", "i:0"}));
}

TEST(qix_scanner, integers_outside_32_bits_are_clamped) {
  EXPECT_EQ(scan("2147483647 2147483648 -2147483648 -2147483649 0xFFFFFFFF 99999999999999999999999").tokens,
            (strings{"i:2147483647", "i:2147483647", "i:-2147483648", "i:-2147483648", "i:2147483647",
                     "i:2147483647"}));
}

TEST(qix_scanner, a_hexadecimal_prefix_without_digits) {
  const scan_result_t r = scan("0x");
  EXPECT_EQ(r.tokens, strings{"i:0"});
  EXPECT_EQ(r.messages, strings{"*** ERROR *** : s.qim:1: unknown token : 'x'"});
}

TEST(qix_scanner, decimal_floats_in_their_three_forms) {
  EXPECT_EQ(scan("1. 1.5 .5 1e5 1E-2 -0.5f 2.5F -.25 1.5e+3f 7e0").tokens,
            (strings{"f:1.0", "f:1.5", "f:0.5", "f:1e+05", "f:0.01", "f:-0.5", "f:2.5", "f:-0.25", "f:1500.0",
                     "f:7.0"}));
}

TEST(qix_scanner, decimal_floats_round_once_to_float) {
  // 0.1 is not a float; the nearest one is 0x3DCCCCCD.
  scan("0.1");
  EXPECT_EQ(qix_lval.real, 0.1f);
  const scan_result_t r = scan("1e39 -1e39 1e-50");
  EXPECT_EQ(r.tokens, (strings{"f:&7F800000", "f:&FF800000", "f:0.0"}));
}

TEST(qix_scanner, a_number_without_point_or_exponent_is_an_integer) {
  EXPECT_EQ(scan("1 1f").tokens, (strings{"i:1", "i:1"}));
  EXPECT_EQ(scan("1f").messages, strings{"*** ERROR *** : s.qim:1: unknown token : 'f'"});
}

TEST(qix_scanner, signs_that_start_no_number) {
  const scan_result_t minus = scan("- 0.5");
  EXPECT_EQ(minus.tokens, strings{"f:0.5"});
  EXPECT_EQ(minus.messages, strings{"*** ERROR *** : s.qim:1: unknown token : '-'"});
  const scan_result_t plus = scan("+1.0");
  EXPECT_EQ(plus.tokens, strings{"f:1.0"});
  EXPECT_EQ(plus.messages, strings{"*** ERROR *** : s.qim:1: unknown token : '+'"});
  EXPECT_EQ(scan(".").messages, strings{"*** ERROR *** : s.qim:1: unknown token : '.'"});
}

TEST(qix_scanner, bit_pattern_floats) {
  EXPECT_EQ(scan("&3F800000 &BF800000 $0000803F $000080BF &7fc00000").tokens,
            (strings{"f:1.0", "f:-1.0", "f:1.0", "f:-1.0", "f:&7FC00000"}));
}

TEST(qix_scanner, a_bit_pattern_with_seven_digits) {
  const scan_result_t r = scan("&3F80000");
  EXPECT_EQ(r.tokens, (strings{"i:3", "i:80000"}));
  EXPECT_EQ(r.messages, (strings{"*** ERROR *** : s.qim:1: unknown token : '&'",
                                 "*** ERROR *** : s.qim:1: unknown token : 'F'"}));
  EXPECT_EQ(scan("$").messages, strings{"*** ERROR *** : s.qim:1: unknown token : '$'"});
}

TEST(qix_scanner, strings_keep_63_bytes) {
  const std::string kept(63, 'a');
  const scan_result_t exact = scan("\"" + kept + "\" 1");
  EXPECT_EQ(exact.tokens, (strings{"s:" + kept, "i:1"}));
  EXPECT_TRUE(exact.messages.empty());

  const scan_result_t longer = scan("\n\"" + kept + "bcdef\" 1");
  EXPECT_EQ(longer.tokens, (strings{"s:" + kept, "i:1"}));
  EXPECT_EQ(longer.messages, strings{"*** ERROR *** : s.qim:2: string length exceeds buffer size (64 bytes)"});
}

TEST(qix_scanner, strings_take_bytes_as_they_are) {
  EXPECT_EQ(scan("\"a#b{}\\n\"").tokens, strings{"s:a#b{}\\n"});
  EXPECT_EQ(scan("\"\"").tokens, strings{"s:"});
}

TEST(qix_scanner, newlines_inside_strings_are_counted) {
  const scan_result_t r = scan("\"one\ntwo\" x");
  ASSERT_EQ(r.tokens, strings{"s:one\ntwo"});
  EXPECT_EQ(r.messages, strings{"*** ERROR *** : s.qim:2: unknown token : 'x'"});
}

TEST(qix_scanner, an_unterminated_string_ends_the_tokens) {
  const scan_result_t r = scan("1\n\"open\nstill open");
  EXPECT_EQ(r.tokens, strings{"i:1"});
  EXPECT_EQ(r.messages, strings{"*** ERROR *** : s.qim:2: unterminated string constant"});
}

TEST(qix_scanner, comments_run_to_the_end_of_the_line) {
  const scan_result_t r = scan("# Header {\n1 # 2\n3");
  EXPECT_EQ(r.tokens, (strings{"i:1", "i:3"}));
  EXPECT_EQ(r.lines, (std::vector<std::uint32_t>{2, 3}));
}

TEST(qix_scanner, a_comment_at_the_end_of_input_counts_its_line) {
  scan("1\n# last line without a newline");
  EXPECT_EQ(qix_scan_line(), 3u);
}

TEST(qix_scanner, a_leading_newline_is_counted_after_the_kind_token) {
  const scan_result_t r = scan("\nHeader");
  EXPECT_EQ(r.lines, std::vector<std::uint32_t>{2});
}

TEST(qix_scanner, blanks_tabs_and_carriage_returns_are_skipped) {
  const scan_result_t r = scan(" \t1\r\n\t2 ");
  EXPECT_EQ(r.tokens, (strings{"i:1", "i:2"}));
  EXPECT_EQ(r.lines, (std::vector<std::uint32_t>{1, 2}));
  EXPECT_EQ(scan("\f").messages, strings{"*** ERROR *** : s.qim:1: unknown token : '\f'"});
}

TEST(qix_scanner, zero_bytes_are_unknown_characters) {
  const scan_result_t r = scan(std::string("1\0" "2 \"a\0b\"", 9));
  EXPECT_EQ(r.tokens, (strings{"i:1", "i:2", "s:ab"}));
  EXPECT_EQ(r.messages, (strings{"*** ERROR *** : s.qim:1: unknown token : '\\0'",
                                 "*** ERROR *** : s.qim:1: unknown token : '\\0'"}));
}

TEST(qix_scanner, the_token_text_is_that_of_the_last_token_returned) {
  message_log_t log;
  const std::string text = "Header  \"quoted\" # comment\n";
  qix_scan_begin("t.qis", QIX_SKELETON);
  yy_buffer_state* buffer = qix_scan_bytes(text.data(), static_cast<int>(text.size()));
  EXPECT_EQ(qix_lex(), QIXT_START_SKELETON);
  EXPECT_EQ(qix_lex(), QIXT_HEADER);
  EXPECT_EQ(std::string(qix_scan_token_text(), qix_scan_token_length()), "Header");
  EXPECT_EQ(qix_lex(), QIXT_STRING);
  EXPECT_EQ(std::string(qix_scan_token_text(), qix_scan_token_length()), "\"quoted\"");
  EXPECT_EQ(qix_lex(), 0);
  EXPECT_EQ(qix_scan_line(), 2u);
  EXPECT_STREQ(qix_scan_file_name(), "t.qis");
  qix_scan_end(buffer);
}

TEST(qix_scanner, every_document_starts_again_at_line_1) {
  scan("\n\n\n1");
  const scan_result_t r = scan("1");
  EXPECT_EQ(r.lines, std::vector<std::uint32_t>{1});
}

}  // namespace
}  // namespace keln
