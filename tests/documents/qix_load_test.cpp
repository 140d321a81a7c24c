#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "document_test_support.h"
#include "kelncore/fs/fs_types.h"

namespace keln {
namespace {

TEST(qix_load, what_is_no_readable_document_is_refused_with_its_message) {
  char pattern[] = "/tmp/qix_load_XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const std::string dir = pattern, huge = dir + "/huge.qim", empty = dir + "/empty.qis";
  for (const std::string& path : {huge, empty}) std::ofstream{path};
  ASSERT_EQ(truncate(huge.c_str(), 3LL << 30), 0);  // beyond the scanner's limit; sparse: takes no disk space
  qix_node_list_t nodes;
  message_log_t log;
  ASSERT_NE(qim_load("corpus/geometry/valid_minimal.qim", FS_DEVICE_SYSTEM, nodes), nullptr);
  qix_destroy_nodes(nodes);
  EXPECT_EQ(qim_load("no/such/file.qim", FS_DEVICE_SYSTEM, nodes), nullptr);
  EXPECT_EQ(qix_loaded_root(QIX_GEOMETRY), nullptr) << "no root of an earlier load is handed out";
  EXPECT_FALSE(qix_load(dir.c_str(), FS_DEVICE_SYSTEM, nodes, QIX_SKELETON));  // a directory
  EXPECT_EQ(qim_load(huge.c_str(), FS_DEVICE_SYSTEM, nodes), nullptr);
  const char text[] = "Header";  // text beyond the limit is refused before it is read
  EXPECT_FALSE(qix_load_text("big.qis", text, QIX_MAX_DOCUMENT_SIZE + 1, nodes, QIX_SKELETON));
  EXPECT_TRUE(nodes.empty());
  EXPECT_EQ(qis_load(empty.c_str(), FS_DEVICE_SYSTEM, nodes), nullptr);
  EXPECT_EQ(nodes.size(), 5u) << "the five roots stay in the list";
  qix_destroy_nodes(nodes);
  std::filesystem::remove_all(dir);
  EXPECT_EQ(log.lines, (std::vector<std::string>{"*** ERROR *** : cannot stat file no/such/file.qim",
                                                 "*** ERROR *** : cannot stat file " + dir,
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
