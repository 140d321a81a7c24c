#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "fs_temp_dir.h"
#include "kelncore/fs/fs.h"
#include "kelncore/fs/sysfs_device.h"
#include "kelncore/fs/sysfs_global_device.h"

namespace keln {
namespace {

using ::testing::internal::CaptureStderr;
using ::testing::internal::GetCapturedStderr;
namespace stdfs = std::filesystem;

// A device rooted at the temporary directory: "/x" is <dir>/x.
class sysfs_rooted : public fs_temp_dir {
 protected:
  void SetUp() override {
    fs_temp_dir::SetUp();
    device.reset(new sysfs_device_t(dir.c_str()));
  }
  void TearDown() override {
    device.reset(nullptr);
    fs_temp_dir::TearDown();
  }

  std::vector<std::pair<std::string, std::uint32_t>> listing(const char* path, bool full_paths) {
    auto_ptr_t<fs_dir_list_t> list;
    device->list_dir(list, path, full_paths);
    EXPECT_TRUE(list);
    std::vector<std::pair<std::string, std::uint32_t>> entries;
    if (list)
      for (const fs_direntry_t& e : *list) entries.emplace_back(e.name.c_str(), e.kind);
    std::sort(entries.begin(), entries.end());
    return entries;
  }

  auto_ptr_t<sysfs_device_t> device;
};

TEST_F(fs_temp_dir, startup_creates_the_system_device_and_shutdown_deletes_it) {
  ASSERT_NE(sysfs_global_device_t::instance(), nullptr);
  EXPECT_EQ(fs_get_device(FS_DEVICE_SYSTEM), sysfs_global_device_t::instance());
  EXPECT_EQ(fs_get_device(FS_DEVICE_ROOTED), nullptr);
  EXPECT_NE(fs_io_layer(), nullptr);
  core_shutdown();
  EXPECT_EQ(sysfs_global_device_t::instance(), nullptr);
  EXPECT_EQ(fs_io_layer(), nullptr);
  EXPECT_FALSE(fs_open(at("x").c_str(), FS_DEVICE_SYSTEM));
  core_startup(0);
}

TEST_F(fs_temp_dir, fs_open_on_the_rooted_id_rejects_a_path_without_leading_slash) {
  write_text("doc.qim", "x");
  CaptureStderr();
  EXPECT_FALSE(fs_open("data/doc.qim", FS_DEVICE_ROOTED));
  EXPECT_EQ(GetCapturedStderr(), "*** ERROR *** : [fs] fs_open called with invalid path \"data/doc.qim\"\r\n");
  CaptureStderr();
  EXPECT_FALSE(fs_open(at("doc.qim").c_str(), FS_DEVICE_ROOTED));  // no device behind the id
  EXPECT_FALSE(fs_open(at("doc.qim").c_str(), 7));
  EXPECT_EQ(GetCapturedStderr(), "");
}

TEST_F(fs_temp_dir, fs_open_on_the_system_device_reads_relative_to_the_working_directory) {
  const std::string name = "velm_fs_relative_" + std::to_string(::getpid()) + ".txt";
  std::ofstream(name, std::ios::binary) << "relative";
  auto_ptr_t<file_t> file = fs_open(name.c_str(), FS_DEVICE_SYSTEM);
  stdfs::remove(name);
  ASSERT_TRUE(file);
  EXPECT_EQ(file->device_id(), FS_DEVICE_SYSTEM);
  EXPECT_STREQ(file->path(), name.c_str());
  char text[8];
  ASSERT_TRUE(file->read(text, 8));
  EXPECT_EQ(std::string(text, 8), "relative");
}

TEST_F(fs_temp_dir, fs_open_gives_nothing_for_missing_files_directories_and_fifos) {
  ASSERT_EQ(::mkfifo(at("pipe").c_str(), 0600), 0);
  CaptureStderr();
  EXPECT_FALSE(fs_open(at("missing").c_str(), FS_DEVICE_SYSTEM));
  EXPECT_FALSE(fs_open(dir.c_str(), FS_DEVICE_SYSTEM));
  EXPECT_FALSE(fs_open(at("pipe").c_str(), FS_DEVICE_SYSTEM));
  EXPECT_EQ(GetCapturedStderr(), "");
}

TEST_F(fs_temp_dir, read_advances_on_success_and_keeps_the_position_on_failure) {
  write_text("hello.txt", "hello world");
  auto_ptr_t<file_t> file = fs_open(at("hello.txt").c_str(), FS_DEVICE_SYSTEM);
  ASSERT_TRUE(file);
  EXPECT_EQ(file->size(), 11u);
  EXPECT_EQ(file->state(), FS_STATE_OK);
  char text[16] = {};
  ASSERT_TRUE(file->read(text, 5));
  EXPECT_EQ(std::string(text, 5), "hello");
  EXPECT_EQ(file->position(), 5u);
  EXPECT_FALSE(file->read(text, 10));  // only 6 bytes are left: a short read fails
  EXPECT_EQ(file->state(), FS_STATE_FAILED);
  EXPECT_EQ(file->position(), 5u);
  ASSERT_TRUE(file->read(text, 6));
  EXPECT_EQ(std::string(text, 6), " world");
  EXPECT_EQ(file->state(), FS_STATE_OK);
}

TEST_F(fs_temp_dir, stat_and_size_report_all_64_bits_of_a_5_gib_file) {
  const std::uint64_t five_gib = 5ull << 30;
  {
    auto_ptr_t<file_t> file = sysfs_global_device_t::instance()->open_write(at("big.bin").c_str());
    ASSERT_TRUE(file);
    ASSERT_TRUE(file->write_at("z", 1, five_gib - 1));  // sparse: one block on disk
  }
  fs_stat_t status;
  ASSERT_TRUE(fs_stat(at("big.bin").c_str(), status, FS_DEVICE_SYSTEM));
  EXPECT_EQ(status.size, five_gib);
  EXPECT_EQ(status.kind, FS_KIND_FILE);
  auto_ptr_t<file_t> file = fs_open(at("big.bin").c_str(), FS_DEVICE_SYSTEM);
  ASSERT_TRUE(file);
  EXPECT_EQ(file->size(), five_gib);
  char last = 0;
  ASSERT_TRUE(file->read_at(&last, 1, five_gib - 1));
  EXPECT_EQ(last, 'z');
}

TEST_F(fs_temp_dir, modification_time_counts_100_ns_units_since_1601) {
  write_text("dated.txt", "x");
  // 2000-01-01 00:00:00.5 UTC.
  const timespec times[2] = {{946684800, 500000000}, {946684800, 500000000}};
  ASSERT_EQ(::utimensat(AT_FDCWD, at("dated.txt").c_str(), times, 0), 0);
  const std::uint64_t expected = 125911584000000000ull + 5000000ull;
  fs_stat_t by_path;
  ASSERT_TRUE(fs_stat(at("dated.txt").c_str(), by_path, FS_DEVICE_SYSTEM));
  EXPECT_EQ(by_path.modification_time, expected);
  auto_ptr_t<file_t> file = fs_open(at("dated.txt").c_str(), FS_DEVICE_SYSTEM);
  ASSERT_TRUE(file);
  fs_stat_t by_file;
  ASSERT_TRUE(file->stat(by_file));
  EXPECT_EQ(by_file.modification_time, expected);
}

TEST_F(fs_temp_dir, fs_is_dir_tells_directories_from_files_and_missing_paths) {
  write_text("file.txt", "x");
  EXPECT_TRUE(fs_is_dir(dir.c_str(), FS_DEVICE_SYSTEM));
  EXPECT_FALSE(fs_is_dir(at("file.txt").c_str(), FS_DEVICE_SYSTEM));
  EXPECT_FALSE(fs_is_dir(at("missing").c_str(), FS_DEVICE_SYSTEM));
  EXPECT_FALSE(fs_is_dir(dir.c_str(), FS_DEVICE_ROOTED));
}

TEST_F(sysfs_rooted, resolve_puts_the_root_in_front_without_a_separator) {
  fs_path_t out;
  EXPECT_STREQ(device->resolve(out, "/a/b.qim"), (dir + "/a/b.qim").c_str());
  EXPECT_STREQ(device->resolve(out, "x"), (dir + "x").c_str());
  fs_path_t plain;
  EXPECT_STREQ(sysfs_global_device_t::instance()->resolve(plain, "a/b"), "a/b");
}

TEST_F(sysfs_rooted, a_system_path_longer_than_255_bytes_is_refused_not_cut) {
  // A file whose system path is exactly 255 bytes, and a device path that
  // would reach it if cut there.
  const std::string tail(255 - dir.size() - 1, 'a');
  write_text(tail, "wrong file");
  fs_path_t out;
  ASSERT_NE(device->resolve(out, ("/" + tail).c_str()), nullptr);
  EXPECT_TRUE(device->open_read(("/" + tail).c_str()));

  const std::string longer = "/" + tail + "bbbb";
  EXPECT_EQ(device->resolve(out, longer.c_str()), nullptr);
  EXPECT_FALSE(device->open_read(longer.c_str()));
  EXPECT_FALSE(device->open_rw(longer.c_str()));
  EXPECT_FALSE(device->open_write(longer.c_str()));
  EXPECT_EQ(read_text(tail), "wrong file");  // not emptied through a cut path
  fs_stat_t status;
  EXPECT_FALSE(device->stat(longer.c_str(), status));
  EXPECT_FALSE(device->remove_file(longer.c_str()));
  EXPECT_TRUE(stdfs::exists(at(tail)));
  EXPECT_FALSE(device->make_path((longer + "/deeper").c_str()));
  EXPECT_FALSE(stdfs::exists(at(tail + "bbbb")));
}

TEST_F(sysfs_rooted, make_path_creates_every_level_and_accepts_existing_ones) {
  ASSERT_TRUE(stdfs::create_directory(at("a")));
  EXPECT_TRUE(device->make_path("/a/b/c"));
  EXPECT_TRUE(stdfs::is_directory(at("a/b/c")));
  EXPECT_TRUE(device->make_path("/a/b/c"));  // existing: still success
  EXPECT_TRUE(device->make_path(""));
  write_text("file", "x");
  EXPECT_FALSE(device->make_path("/file/sub"));  // a file is in the way
}

TEST_F(sysfs_rooted, make_parent_touches_nothing_for_a_bare_or_top_level_name) {
  // The global device would create "name" relative to the working directory.
  EXPECT_TRUE(sysfs_global_device_t::instance()->make_parent("velm_no_such_parent"));
  EXPECT_TRUE(device->make_parent("/top.txt"));
  EXPECT_TRUE(stdfs::is_empty(dir));
  EXPECT_TRUE(device->make_parent("/x/y/z.txt"));
  EXPECT_TRUE(stdfs::is_directory(at("x/y")));
  EXPECT_FALSE(stdfs::exists(at("x/y/z.txt")));
}

TEST_F(sysfs_rooted, open_write_creates_parents_and_empties_open_rw_keeps) {
  {
    auto_ptr_t<file_t> file = device->open_write("/out/deep/data.bin");
    ASSERT_TRUE(file);
    ASSERT_TRUE(file->write_at("0123456789", 10, 0));
    ASSERT_TRUE(file->write_at("AB", 2, 12));  // past the end: a zero-filled gap
    EXPECT_EQ(file->size(), 14u);
  }
  EXPECT_EQ(read_text("out/deep/data.bin"), std::string("0123456789\0\0AB", 14));
  {
    auto_ptr_t<file_t> file = device->open_rw("/out/deep/data.bin");
    ASSERT_TRUE(file);
    EXPECT_EQ(file->size(), 14u);
    ASSERT_TRUE(file->write_at("x", 1, 0));
  }
  EXPECT_EQ(read_text("out/deep/data.bin").substr(0, 3), "x12");
  {
    auto_ptr_t<file_t> file = device->open_write("/out/deep/data.bin");
    ASSERT_TRUE(file);
    EXPECT_EQ(file->size(), 0u);
  }
  EXPECT_EQ(read_text("out/deep/data.bin"), "");
}

TEST_F(sysfs_rooted, full_path_is_the_resolved_path_of_the_file) {
  write_text("f.txt", "x");
  auto_ptr_t<file_t> file = device->open_read("/f.txt");
  ASSERT_TRUE(file);
  EXPECT_STREQ(file->path(), "/f.txt");
  fs_path_t out;
  file->full_path(out);
  EXPECT_EQ(std::string(out.c_str()), at("f.txt"));
}

TEST_F(sysfs_rooted, remove_file_and_remove_dir_report_what_happened) {
  write_text("f.txt", "x");
  ASSERT_TRUE(device->make_path("/d/e"));
  EXPECT_TRUE(device->remove_file("/f.txt"));
  EXPECT_FALSE(device->remove_file("/f.txt"));
  EXPECT_FALSE(device->remove_dir("/d"));  // not empty
  EXPECT_TRUE(device->remove_dir("/d/e"));
  EXPECT_TRUE(device->remove_dir("/d"));
  EXPECT_TRUE(stdfs::is_empty(dir));
}

TEST_F(sysfs_rooted, list_dir_gives_files_and_directories_but_skips_dots_svn_and_others) {
  ASSERT_TRUE(device->make_path("/list/sub"));
  ASSERT_TRUE(device->make_path("/list/.svn"));
  write_text("list/archive.qim", "x");
  ASSERT_EQ(::mkfifo(at("list/pipe").c_str(), 0600), 0);
  ASSERT_EQ(::symlink("archive.qim", at("list/link").c_str()), 0);
  ASSERT_EQ(::symlink("nowhere", at("list/dangling").c_str()), 0);

  using entries_t = std::vector<std::pair<std::string, std::uint32_t>>;
  EXPECT_EQ(listing("/list", false),
            (entries_t{{"archive.qim", FS_KIND_FILE}, {"link", FS_KIND_FILE}, {"sub", FS_KIND_DIR}}));
  EXPECT_EQ(listing("/list", true), (entries_t{{"/list/archive.qim", FS_KIND_FILE},
                                               {"/list/link", FS_KIND_FILE},
                                               {"/list/sub", FS_KIND_DIR}}));
}

TEST_F(sysfs_rooted, list_dir_of_an_unreadable_directory_is_an_empty_list) {
  EXPECT_TRUE(listing("/missing", false).empty());
  const std::string too_long = "/" + std::string(300, 'd');
  EXPECT_TRUE(listing(too_long.c_str(), true).empty());
}

TEST_F(sysfs_rooted, list_dir_full_names_are_never_cut) {
  const std::string deep = "/" + std::string(110, 'p') + "/" + std::string(110, 'q');
  ASSERT_LT(dir.size() + deep.size(), 255u);
  ASSERT_TRUE(device->make_path(deep.c_str()));
  write_text(deep.substr(1) + "/" + std::string(100, 'n'), "x");
  const auto entries = listing(deep.c_str(), true);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].first, deep + "/" + std::string(100, 'n'));
}

TEST(fs_device, base_device_and_file_support_nothing) {
  fs_device_t device;
  EXPECT_STREQ(device.name(), "");
  EXPECT_FALSE(device.open_read("/a"));
  EXPECT_FALSE(device.open_write("/a"));
  EXPECT_FALSE(device.open_rw("/a"));
  EXPECT_FALSE(device.remove_file("/a"));
  EXPECT_FALSE(device.make_path("/a"));
  EXPECT_FALSE(device.make_parent("/a/b"));
  EXPECT_FALSE(device.remove_dir("/a"));
  fs_stat_t status;
  EXPECT_FALSE(device.stat("/a", status));
  auto_ptr_t<fs_dir_list_t> list(new fs_dir_list_t(4));
  device.list_dir(list, "/", false);
  EXPECT_FALSE(list);

  file_t file("/a");
  char byte;
  EXPECT_FALSE(file.read(&byte, 1));
  EXPECT_EQ(file.state(), FS_STATE_FAILED);
  EXPECT_EQ(file.size(), 0u);
  EXPECT_EQ(file.state(), FS_STATE_FAILED);
  EXPECT_FALSE(file.write_at(&byte, 1, 0));
  fs_path_t out("unchanged");
  file.full_path(out);
  EXPECT_STREQ(out.c_str(), "unchanged");
}

}  // namespace
}  // namespace keln
