// Exhaustion of the parser stack, with the parser of this test program built
// with a stack of 4 entries that may grow to 30 (the library's parser starts
// at 200 and grows to 10,000, which no document of the grammar needs: lists
// are left-recursive, so the depth is that of the section nesting).
#include <gtest/gtest.h>

#include "document_test_support.h"
#include "documents/qix_context.h"
#include "documents/qix_parse.h"
#include "documents/qix_scanner.h"

namespace keln {
namespace {

const char* const shallow =
    "Header { FormatVersion : 2 Source : \"\" Type : \"\" Name : \"\" }\n"
    "Global { VertexCount : 0 TriangleCount : 0 MaterialCount : 0 PieceCount : 0 PartCount : 1 LocatorCount : 0 }\n"
    "Part { Name : \"p\" PieceCount : 0 LocatorCount : 0 Pieces : Locators : }\n";

TEST(qix_parser_stack, a_document_within_the_stack_parses_while_the_stack_grows) {
  message_log_t log;
  parsed_text_t d(shallow, QIX_COLLISION);
  EXPECT_TRUE(d.loaded);
  EXPECT_TRUE(log.lines.empty());
}

TEST(qix_parser_stack, exhaustion_is_reported_and_gives_2) {
  const std::string text = read_text_file("corpus/skeleton/valid_two_bones.qis");
  message_log_t log;
  qix_node_list_t nodes;
  qix_scan_begin("deep.qis", QIX_SKELETON);
  qix_parse_setup(nodes, QIX_SKELETON);
  yy_buffer_state* buffer = qix_scan_bytes(text.data(), static_cast<int>(text.size()));
  EXPECT_EQ(qix_parse(), 2);
  qix_scan_end(buffer);
  qix_parse_clear();
  qix_destroy_nodes(nodes);
  ASSERT_EQ(log.lines.size(), 1u);
  EXPECT_EQ(log.lines[0], "*** ERROR *** : deep.qis:11: parser stack overflow [ token '1.0' ]");
}

}  // namespace
}  // namespace keln
