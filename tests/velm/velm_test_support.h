#pragma once
// Shared helpers of the instance, skinning and loading tests: a message
// recorder, the paths of the test documents and variants of them written to
// the test's temporary directory.

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

}  // namespace velm_test
