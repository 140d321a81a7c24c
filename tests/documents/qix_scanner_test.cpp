// The scanner fed straight from text: token kinds, values and lines (the
// corpus checks its messages in context); and malformed bit patterns.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document_test_support.h"
#include "documents/qix_numbers.h"
#include "documents/qix_scanner.h"
#include "documents/qix_writer.h"
#include "qix_parser.hpp"

namespace keln {
namespace {

using strings = std::vector<std::string>;

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
    default:
      if (kind < 256) return std::string(1, static_cast<char>(kind));
      return "kw:" + std::string(qix_scan_token_text(), qix_scan_token_length());
  }
}

// Scans text as a geometry document: each token described, with the line
// counter after it ("@2") where that is not 1; the document-kind token is
// left out. Messages are given without the common "*** ERROR *** : s.qim:".
struct scanned_t {
  strings tokens, messages;
};

scanned_t scan(const std::string& text) {
  scanned_t result;
  message_log_t log;
  qix_scan_begin("s.qim", QIX_GEOMETRY);
  yy_buffer_state* buffer = qix_scan_bytes(text.data(), static_cast<int>(text.size()));
  EXPECT_EQ(qix_lex(), QIXT_START_GEOMETRY);
  EXPECT_EQ(qix_scan_token_length(), 0u);
  for (int kind = qix_lex(); kind != 0; kind = qix_lex())
    result.tokens.push_back(describe(kind) + (qix_scan_line() == 1 ? "" : "@" + std::to_string(qix_scan_line())));
  EXPECT_EQ(qix_scan_token_length(), 0u) << "the end of input has no token text";
  qix_scan_end(buffer);
  const std::string prefix = "*** ERROR *** : s.qim:";
  for (const std::string& line : log.lines)
    result.messages.push_back(line.compare(0, prefix.size(), prefix) == 0 ? line.substr(prefix.size()) : line);
  return result;
}

std::string unknown(char c, int line = 1) {
  return std::to_string(line) + ": unknown token : '" + (c ? std::string(1, c) : std::string("\\0")) + "'";
}

struct scan_case_t {
  std::string text;
  strings tokens, messages;
};

const std::string k63(63, 'a');

const scan_case_t SCAN_CASES[] = {
    // Keywords ignore case and need no separator.
    {"Vertexcount VERTEXCOUNT NameTag Float4x4 Float4 Weights Weight",
     {"kw:Vertexcount", "kw:VERTEXCOUNT", "kw:Name", "kw:Tag", "kw:Float4x4", "kw:Float4", "kw:Weights", "kw:Weight"},
     {}},
    {"PiecesX", {"kw:Pieces"}, {unknown('X')}},
    {"Name:\"a\"{}()", {"kw:Name", ":", "s:a", "{", "}", "(", ")"}, {}},
    // Integers in three bases, clamped to 32 bits (values: qix_numbers below).
    {"( 1 0x1A 0X1a 017 08 -017 -08 0 )", {"(", "i:1", "i:26", "i:26", "i:15", "i:0", "i:-15", "i:0", "i:0", ")"}, {}},
    {"2147483648 -2147483649 0xFFFFFFFF 99999999999999999999999",
     {"i:2147483647", "i:-2147483648", "i:2147483647", "i:2147483647"}, {}},
    {"0x", {"i:0"}, {unknown('x')}},
    // Decimal floats in their three forms, rounded once to float.
    {"1. 1.5 .5 1e5 1E-2 -0.5f 2.5F -.25 1.5e+3f 7e0 0.1",
     {"f:1.0", "f:1.5", "f:0.5", "f:1e+05", "f:0.01", "f:-0.5", "f:2.5", "f:-0.25", "f:1500.0", "f:7.0", "f:0.1"}, {}},
    {"1e39 -1e39 1e-50", {"f:&7F800000", "f:&FF800000", "f:0.0"}, {}},
    {"1 1f", {"i:1", "i:1"}, {unknown('f')}},  // no point or exponent: an integer
    {"- 0.5 +1.0 .", {"f:0.5", "f:1.0"}, {unknown('-'), unknown('+'), unknown('.')}},
    {"&3F800000 &BF800000 $0000803F $000080BF &7fc00000", {"f:1.0", "f:-1.0", "f:1.0", "f:-1.0", "f:&7FC00000"}, {}},
    {"&3F80000 $", {"i:3", "i:80000"}, {unknown('&'), unknown('F'), unknown('$')}},
    // Strings keep 63 bytes and take bytes as they are (messages: the corpus).
    {"\n\"" + k63 + "bcdef\" 1", {"s:" + k63 + "@2", "i:1@2"}, {"2: string length exceeds buffer size (64 bytes)"}},
    {"\"a#b{}\\n\" \"\"", {"s:a#b{}\\n", "s:"}, {}},
    {"# Header {\n1 # 2\n3", {"i:1@2", "i:3@3"}, {}},
    {"\nHeader", {"kw:Header@2"}, {}},  // a leading newline is counted after the kind token
    {" \t1\r\n\t2 \f", {"i:1", "i:2@2"}, {unknown('\f', 2)}},
    {std::string("1\0" "2 \"a\0b\"", 9), {"i:1", "i:2", "s:ab"}, {unknown(0), unknown(0)}},
};

TEST(qix_scanner, tokens_lines_and_messages) {
  for (const scan_case_t& c : SCAN_CASES) {
    const scanned_t r = scan(c.text);
    EXPECT_EQ(r.tokens, c.tokens) << c.text;
    EXPECT_EQ(r.messages, c.messages) << c.text;
  }
}

TEST(qix_bits_value, refuses_malformed_patterns_and_leaves_the_value_alone) {
  for (const std::string text : {"&3F80000G", "&3F80000", "#3F800000", "&3F8000000"}) {
    float value = 7.0f;
    EXPECT_FALSE(qix_bits_value(text.c_str(), static_cast<std::uint32_t>(text.size()), value)) << text;
    EXPECT_EQ(value, 7.0f) << text;
  }
}

}  // namespace
}  // namespace keln
