#include "velm_test_support.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace velm_test {

namespace {

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in.good()) << path;
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

void message_log_t::handle(const keln::string& text, keln::message_level_t level) {
  const char* prefix = level == keln::ML_ERROR ? "E: " : level == keln::ML_WARNING ? "W: " : "I: ";
  lines.push_back(prefix + std::string(text.c_str()));
}

std::string document_path(const char* name) { return std::string(VELM_TEST_DOCUMENTS) + name; }

std::string write_document(const char* name, const std::string& text) {
  const std::string path = ::testing::TempDir() + name;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  EXPECT_TRUE(out.good()) << path;
  return path;
}

std::string write_variant(const char* base, const char* name, const replacements_t& replacements) {
  std::string text = read_file(document_path(base));
  for (const auto& [from, to] : replacements) {
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << "not in " << base << ": " << from;
    if (at == std::string::npos) continue;
    EXPECT_EQ(text.find(from, at + 1), std::string::npos) << "more than once in " << base << ": " << from;
    text.replace(at, from.size(), to);
  }
  return write_document(name, text);
}

std::vector<std::string> parsed_ok_lines(const char* banner, const char* kind, const std::string& path) {
  return {std::string("I: ") + banner, std::string("I: ") + kind + " file: " + path + " - parsed OK"};
}

}  // namespace velm_test
