#include "kelncore/fs/sysfs_device.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fs_temp_dir.h"
#include "kelncore/fs/sysfs_global_device.h"

namespace keln {
namespace {

namespace stdfs = std::filesystem;
using entries_t = std::vector<std::pair<std::string, std::uint32_t>>;

// A device rooted at the temporary directory: "/x" is <dir>/x.
class sysfs_device : public fs_temp_dir {
 protected:
  void SetUp() override {
    fs_temp_dir::SetUp();
    device.reset(new sysfs_device_t(dir.c_str()));
  }
  void TearDown() override {
    device.reset(nullptr);
    fs_temp_dir::TearDown();
  }

  entries_t listing(const char* path, bool full_paths) {
    auto_ptr_t<fs_dir_list_t> list;
    device->list_dir(list, path, full_paths);
    EXPECT_TRUE(list);
    entries_t entries;
    if (list)
      for (const fs_direntry_t& e : *list) entries.emplace_back(e.name.c_str(), e.kind);
    std::sort(entries.begin(), entries.end());
    return entries;
  }

  auto_ptr_t<sysfs_device_t> device;
};

TEST_F(sysfs_device, a_system_path_longer_than_255_bytes_is_refused_not_cut) {
  // A file whose system path is exactly 255 bytes, and a device path that
  // would reach it if cut there.
  const std::string tail(255 - dir.size() - 1, 'a');
  write_text(tail, "wrong file");
  fs_path_t out;
  ASSERT_NE(device->resolve(out, ("/" + tail).c_str()), nullptr);
  EXPECT_TRUE(device->open_read(("/" + tail).c_str()));

  const std::string longer = "/" + tail + "bbbb";
  EXPECT_EQ(device->resolve(out, longer.c_str()), nullptr);
  EXPECT_FALSE(device->open_read(longer.c_str()) || device->open_rw(longer.c_str()) ||
               device->open_write(longer.c_str()));
  EXPECT_EQ(read_text(tail), "wrong file");  // not emptied through a cut path
  fs_stat_t status;
  EXPECT_FALSE(device->stat(longer.c_str(), status));
  EXPECT_FALSE(device->remove_file(longer.c_str()));
  EXPECT_FALSE(device->make_path((longer + "/deeper").c_str()));
  EXPECT_FALSE(stdfs::exists(at(tail + "bbbb")));
  EXPECT_TRUE(listing(longer.c_str(), true).empty());
}

TEST_F(sysfs_device, make_path_make_parent_and_remove) {
  EXPECT_TRUE(device->make_path("/a/b/c"));
  EXPECT_TRUE(device->make_path("/a/b/c"));  // existing: still success
  write_text("file", "x");
  EXPECT_FALSE(device->make_path("/file/sub"));  // a file is in the way
  EXPECT_TRUE(device->remove_file("/file"));
  EXPECT_FALSE(device->remove_file("/file"));
  EXPECT_FALSE(device->remove_dir("/a/b"));  // not empty
  EXPECT_TRUE(device->remove_dir("/a/b/c"));
  EXPECT_TRUE(device->make_parent("/top.txt"));  // a top-level name has no parent to make
  EXPECT_TRUE(device->make_parent("/x/y/z.txt"));
  EXPECT_TRUE(stdfs::is_directory(at("x/y")));
  EXPECT_FALSE(stdfs::exists(at("x/y/z.txt")));
}

TEST_F(sysfs_device, open_write_creates_parents_and_empties_open_rw_keeps) {
  {
    auto_ptr_t<file_t> file = device->open_write("/out/deep/data.bin");
    ASSERT_TRUE(file);
    ASSERT_TRUE(file->write_at("0123456789", 10, 0));
    ASSERT_TRUE(file->write_at("AB", 2, 12));  // past the end: a zero-filled gap
  }
  EXPECT_EQ(read_text("out/deep/data.bin"), std::string("0123456789\0\0AB", 14));
  {
    auto_ptr_t<file_t> file = device->open_rw("/out/deep/data.bin");
    ASSERT_TRUE(file);
    EXPECT_EQ(file->size(), 14u);
    ASSERT_TRUE(file->write_at("x", 1, 0));
  }
  EXPECT_EQ(read_text("out/deep/data.bin").substr(0, 3), "x12");
  EXPECT_EQ(device->open_write("/out/deep/data.bin")->size(), 0u);
  EXPECT_EQ(read_text("out/deep/data.bin"), "");
}

TEST_F(sysfs_device, list_dir_gives_files_and_directories_with_whole_names) {
  ASSERT_TRUE(device->make_path("/list/sub"));
  ASSERT_TRUE(device->make_path("/list/.svn"));
  write_text("list/archive.qim", "x");
  ASSERT_EQ(::mkfifo(at("list/pipe").c_str(), 0600), 0);
  ASSERT_EQ(::symlink("archive.qim", at("list/link").c_str()), 0);
  ASSERT_EQ(::symlink("nowhere", at("list/dangling").c_str()), 0);
  EXPECT_EQ(listing("/list", false),
            (entries_t{{"archive.qim", FS_KIND_FILE}, {"link", FS_KIND_FILE}, {"sub", FS_KIND_DIR}}));
  EXPECT_EQ(listing("/list", true),
            (entries_t{{"/list/archive.qim", FS_KIND_FILE}, {"/list/link", FS_KIND_FILE}, {"/list/sub", FS_KIND_DIR}}));
  EXPECT_TRUE(listing("/missing", false).empty());
}

}  // namespace
}  // namespace keln
