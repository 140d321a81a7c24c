// Every corpus document loads as the viewer loads it (by path on the system
// device) with exactly the result and message lines of its .expected file
// ("loaded" or "failed", then the lines printed); one that loads is written
// back and read again, and the second text must equal the first.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "document_test_support.h"
#include "documents/qix_writer.h"
#include "kelncore/fs/fs_types.h"

namespace keln {
namespace {

// The documents below folder (only those named valid_* when valid_only is
// set), sorted; none when the folder does not exist.
std::vector<std::string> documents_below(const char* folder, bool valid_only) {
  std::vector<std::string> paths;
  if (!std::filesystem::is_directory(folder)) return paths;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    qix_kind_t kind;
    const std::string path = entry.path().generic_string();
    if (!entry.is_regular_file() || !qix_kind_from_path(path.c_str(), kind)) continue;
    if (!valid_only || path.find("/valid_") != std::string::npos) paths.push_back(path);
  }
  std::sort(paths.begin(), paths.end());
  return paths;
}

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string written(const qix_node_t& root, qix_kind_t kind) {
  qix_buffer_out_t out;
  EXPECT_TRUE(qix_write(root, kind, out));
  return std::string(out.text.data(), out.text.size());
}

class qix_corpus : public ::testing::TestWithParam<std::string> {};

TEST_P(qix_corpus, loads_with_the_expected_messages) {
  const std::string& path = GetParam();
  qix_kind_t kind = QIX_GEOMETRY;
  ASSERT_TRUE(qix_kind_from_path(path.c_str(), kind));
  const std::vector<std::string> expected = lines_of(read_text_file(path + ".expected"));
  ASSERT_FALSE(expected.empty()) << "no expectations for " << path;

  qix_node_list_t nodes;
  message_log_t log;
  const bool loaded = qix_load(path.c_str(), FS_DEVICE_SYSTEM, nodes, kind);
  std::vector<std::string> actual = log.lines;
  actual.insert(actual.begin(), loaded ? "loaded" : "failed");
  EXPECT_EQ(actual, expected);
  if (loaded) {
    const std::string first = written(*qix_loaded_root(kind), kind);
    parsed_text_t again(first, kind);
    ASSERT_TRUE(again.loaded) << first;
    EXPECT_EQ(written(*again.root, kind), first);
  }
  qix_destroy_nodes(nodes);
}

class qix_corpus_cut : public ::testing::TestWithParam<std::string> {};

TEST_P(qix_corpus_cut, every_prefix_fails_with_a_message_or_loads) {
  const std::string& path = GetParam();
  qix_kind_t kind = QIX_GEOMETRY;
  ASSERT_TRUE(qix_kind_from_path(path.c_str(), kind));
  const std::string text = read_text_file(path);
  for (std::size_t length = 0; length < text.size(); ++length) {
    message_log_t log;
    parsed_text_t cut(text.substr(0, length), kind);
    ASSERT_TRUE(cut.loaded || !log.lines.empty()) << "silent failure at " << length << " bytes";
  }
}

// The character documents the program ships, generated through the writer.
class qix_shipped : public ::testing::TestWithParam<std::string> {};

TEST_P(qix_shipped, loads_and_writes_back_byte_for_byte) {
  const std::string& path = GetParam();
  qix_kind_t kind = QIX_GEOMETRY;
  ASSERT_TRUE(qix_kind_from_path(path.c_str(), kind));
  qix_node_list_t nodes;
  message_log_t log;
  ASSERT_TRUE(qix_load(path.c_str(), FS_DEVICE_SYSTEM, nodes, kind));
  EXPECT_TRUE(log.lines.empty());
  EXPECT_TRUE(written(*qix_loaded_root(kind), kind) == read_text_file(path)) << "the texts differ";
  qix_destroy_nodes(nodes);
}

const char* const g_shipped_folder = "../../data";

// Test names from the document paths without their first folder:
// corpus/geometry/a.qim -> geometry_a_qim, ../../data/hunter/b.qis -> hunter_b_qis.
std::string test_name(const ::testing::TestParamInfo<std::string>& info) {
  std::string name = info.param;
  while (name.compare(0, 3, "../") == 0) name.erase(0, 3);
  name.erase(0, name.find('/') + 1);
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(documents, qix_corpus, ::testing::ValuesIn(documents_below("corpus", false)), test_name);
INSTANTIATE_TEST_SUITE_P(documents, qix_corpus_cut, ::testing::ValuesIn(documents_below("corpus", true)), test_name);
INSTANTIATE_TEST_SUITE_P(documents, qix_shipped, ::testing::ValuesIn(documents_below(g_shipped_folder, false)),
                         test_name);

}  // namespace
}  // namespace keln
