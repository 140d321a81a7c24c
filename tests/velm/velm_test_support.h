#pragma once
// Shared helpers of the instance, skinning and loading tests: a message
// recorder, the paths of the test documents and variants of them written to
// the test's temporary directory.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "kelncore/system/messages.h"

namespace velm_test {

// Records every message as "I: text", "W: text" or "E: text" while it lives.
class message_log_t : public keln::message_handler_t {
 public:
  void handle(const keln::string& text, keln::message_level_t level) override;
  std::vector<std::string> lines;
};

// Path of a document in tests/velm/documents.
std::string document_path(const char* name);

// Writes text to the file name in the test's temporary directory and returns
// its path.
std::string write_document(const char* name, const std::string& text);

// Writes a variant of the test document base, with every (from, to) pair
// replaced, to the file name in the temporary directory and returns its path.
// Each from must occur exactly once in the document (the test fails
// otherwise), so that a variant cannot silently stop changing anything.
using replacements_t = std::vector<std::pair<std::string, std::string>>;
std::string write_variant(const char* base, const char* name, const replacements_t& replacements);

// The two information lines of a document that loaded, as recorded.
std::vector<std::string> parsed_ok_lines(const char* banner, const char* kind, const std::string& path);

// Runs load (a call of an instance's loader on path, returning an owned
// pointer or null) while recording messages, and expects exactly the two
// "parsed OK" lines of kind followed by problems.
template <typename T, typename Load>
std::unique_ptr<T> load_expecting(Load load, const char* banner, const char* kind, const std::string& path,
                                  const std::vector<std::string>& problems) {
  message_log_t log;
  std::unique_ptr<T> result(load(path.c_str()));
  std::vector<std::string> expected = parsed_ok_lines(banner, kind, path);
  expected.insert(expected.end(), problems.begin(), problems.end());
  EXPECT_EQ(log.lines, expected);
  return result;
}

// Name of a test instantiated for a row with a document file name: the file
// name without its extension.
template <typename Row>
std::string row_name(const ::testing::TestParamInfo<Row>& info) {
  const std::string name = info.param.name;
  return name.substr(0, name.find('.'));
}

}  // namespace velm_test
