// Exhaustion of the parser stack, with the parser of this test program built
// with a stack of 4 entries that may grow to 30 (the library's grows to
// 10,000, far beyond the section nesting any document needs).
#include <gtest/gtest.h>

#include "document_test_support.h"
#include "documents/qix_context.h"
#include "documents/qix_parse.h"
#include "documents/qix_scanner.h"

namespace keln {
namespace {

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
