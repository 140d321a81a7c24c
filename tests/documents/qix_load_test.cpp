// Loading by path through the file system: missing, empty, unreadable and
// repeated documents, and the typed loads.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "document_test_support.h"
#include "kelncore/fs/fs_types.h"

namespace keln {
namespace {

class qix_load_test : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/qix_load_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    m_dir = pattern;
  }
  void TearDown() override {
    qix_destroy_nodes(nodes);
    std::filesystem::remove_all(m_dir);
  }
  std::string file(const std::string& name, const std::string& text) {
    const std::string path = m_dir + "/" + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }

  qix_node_list_t nodes;
  message_log_t log;
  std::string m_dir;
};

TEST_F(qix_load_test, what_is_no_readable_document_is_refused_with_its_message) {
  ASSERT_NE(qim_load("corpus/geometry/valid_minimal.qim", FS_DEVICE_SYSTEM, nodes), nullptr);
  qix_destroy_nodes(nodes);
  EXPECT_EQ(qim_load("no/such/file.qim", FS_DEVICE_SYSTEM, nodes), nullptr);
  EXPECT_TRUE(nodes.empty());
  EXPECT_EQ(qix_loaded_root(QIX_GEOMETRY), nullptr) << "no root of an earlier load is handed out";
  EXPECT_FALSE(qix_load(m_dir.c_str(), FS_DEVICE_SYSTEM, nodes, QIX_SKELETON));  // a directory
  const std::string huge = file("huge.qim", "");
  ASSERT_EQ(truncate(huge.c_str(), 3LL << 30), 0);  // beyond the scanner's limit; sparse: takes no disk space
  EXPECT_EQ(qim_load(huge.c_str(), FS_DEVICE_SYSTEM, nodes), nullptr);
  EXPECT_TRUE(nodes.empty());
  const char text[] = "Header";  // text beyond the limit is refused before it is read
  EXPECT_FALSE(qix_load_text("big.qis", text, QIX_MAX_DOCUMENT_SIZE + 1, nodes, QIX_SKELETON));
  EXPECT_TRUE(nodes.empty());
  const std::string empty = file("empty.qis", "");
  EXPECT_EQ(qis_load(empty.c_str(), FS_DEVICE_SYSTEM, nodes), nullptr);
  EXPECT_EQ(nodes.size(), 5u) << "the five roots stay in the list";
  EXPECT_EQ(log.lines, (std::vector<std::string>{"*** ERROR *** : cannot stat file no/such/file.qim",
                                                 "*** ERROR *** : cannot stat file " + m_dir,
                                                 "*** ERROR *** : error reading from file " + huge,
                                                 "*** ERROR *** : error reading from file big.qis",
                                                 "*** ERROR *** : " + empty + ":1: syntax error [ token '' ]"}));
}

TEST(qix_kind, from_the_extension) {
  qix_kind_t kind = QIX_GEOMETRY;
  EXPECT_TRUE(qix_kind_from_path("a/b.qia", kind));
  EXPECT_EQ(kind, QIX_ANIMATION);
  EXPECT_TRUE(qix_kind_from_path(".qic", kind));
  EXPECT_EQ(kind, QIX_COLLISION);
  for (const char* path : {"b.QIM", "qim", "b.qimx"}) EXPECT_FALSE(qix_kind_from_path(path, kind)) << path;
}

}  // namespace
}  // namespace keln
