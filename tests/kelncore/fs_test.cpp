// The file system: opening through the device table, files on the system
// device and a device rooted at a fresh temporary directory ("/x" is
// <dir>/x), removed with everything in it afterwards.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "kelncore/fs/fs.h"
#include "kelncore/fs/fs_io_layer_posix.h"
#include "kelncore/fs/posix_status.h"
#include "kelncore/fs/sysfs_device.h"
#include "kelncore/fs/sysfs_global_device.h"
#include "kelncore/system/startup.h"

namespace keln {
namespace {

namespace stdfs = std::filesystem;
using entries_t = std::vector<std::pair<std::string, std::uint32_t>>;

class fs : public ::testing::Test {
 protected:
  void SetUp() override {
    core_startup(0);
    char pattern[] = "/tmp/velm_fs_XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    dir = pattern;
    device.reset(new sysfs_device_t(dir.c_str()));
  }
  void TearDown() override {
    device.reset(nullptr);
    stdfs::remove_all(dir);
    core_shutdown();
  }
  std::string at(const std::string& name) const { return dir + "/" + name; }
  void write_text(const std::string& name, const std::string& text) const {
    std::ofstream(at(name), std::ios::binary) << text;
  }
  std::string read_text(const std::string& name) const {
    std::ifstream in(at(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  entries_t listing(const char* path, bool full_paths) {
    auto_ptr_t<fs_dir_list_t> list;
    device->list_dir(list, path, full_paths);
    entries_t entries;
    if (list)
      for (const fs_direntry_t& e : *list) entries.emplace_back(e.name.c_str(), e.kind);
    std::sort(entries.begin(), entries.end());
    return entries;
  }

  std::string dir;
  auto_ptr_t<sysfs_device_t> device;
};

TEST_F(fs, fs_open_refuses_bad_paths_devices_and_what_is_not_a_file) {
  write_text("doc.qim", "x");
  ASSERT_EQ(::mkfifo(at("pipe").c_str(), 0600), 0);
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(fs_open("data/doc.qim", FS_DEVICE_ROOTED));
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "*** ERROR *** : [fs] fs_open called with invalid path \"data/doc.qim\"\r\n");
  EXPECT_FALSE(fs_open(at("doc.qim").c_str(), FS_DEVICE_ROOTED));  // no device behind the id
  EXPECT_FALSE(fs_open(at("doc.qim").c_str(), 7));
  for (const std::string& path : {at("missing"), dir, at("pipe")})
    EXPECT_FALSE(fs_open(path.c_str(), FS_DEVICE_SYSTEM)) << path;
  EXPECT_TRUE(fs_is_dir(dir.c_str(), FS_DEVICE_SYSTEM));
  EXPECT_FALSE(fs_is_dir(at("doc.qim").c_str(), FS_DEVICE_SYSTEM));
  core_shutdown();
  EXPECT_FALSE(fs_open(at("doc.qim").c_str(), FS_DEVICE_SYSTEM));  // no system device after shutdown
  core_startup(0);
}

TEST_F(fs, read_is_relative_to_the_working_directory_and_keeps_the_position_on_failure) {
  const std::string name = "velm_fs_relative_" + std::to_string(::getpid()) + ".txt";
  std::ofstream(name, std::ios::binary) << "hello world";
  auto_ptr_t<file_t> file = fs_open(name.c_str(), FS_DEVICE_SYSTEM);
  stdfs::remove(name);
  ASSERT_TRUE(file);
  char text[16] = {};
  ASSERT_TRUE(file->read(text, 5));
  EXPECT_FALSE(file->read(text, 10));  // only 6 bytes are left: a short read fails
  EXPECT_EQ(file->state(), FS_STATE_FAILED);
  ASSERT_TRUE(file->read(text, 6));
  EXPECT_EQ(std::string(text, 6), " world");
  EXPECT_EQ(file->state(), FS_STATE_OK);
  // Offsets whose end does not fit in 64 bits are refused.
  fs_io_layer_posix_t io;
  fs_handle_t* handle = io.open_write(fs_path_t(at("data.bin").c_str()));
  ASSERT_NE(handle, nullptr);
  EXPECT_FALSE(io.read_at(handle, text, 1, UINT64_MAX));
  EXPECT_FALSE(io.write_at(handle, "x", 1, UINT64_MAX));
  io.close(handle);
}

TEST_F(fs, stat_and_size_report_all_64_bits_of_a_5_gib_file) {
  const std::uint64_t five_gib = 5ull << 30;
  {
    auto_ptr_t<file_t> file = sysfs_global_device_t::instance()->open_write(at("big.bin").c_str());
    ASSERT_TRUE(file);
    ASSERT_TRUE(file->write_at("z", 1, five_gib - 1));  // sparse: one block on disk
  }
  fs_stat_t status;
  ASSERT_TRUE(fs_stat(at("big.bin").c_str(), status, FS_DEVICE_SYSTEM));
  EXPECT_EQ(status.size, five_gib);
  auto_ptr_t<file_t> file = fs_open(at("big.bin").c_str(), FS_DEVICE_SYSTEM);
  ASSERT_TRUE(file);
  EXPECT_EQ(file->size(), five_gib);
  char last = 0;
  ASSERT_TRUE(file->read_at(&last, 1, five_gib - 1));
  EXPECT_EQ(last, 'z');
}

TEST(posix_file_time, counts_from_1601_in_100_ns_units_and_saturates) {
  constexpr std::uint64_t unix_epoch_ticks = 116444736000000000ull;  // 1970 in 100-ns units since 1601
  const std::pair<timespec, std::uint64_t> cases[] = {
      {{1, 199}, unix_epoch_ticks + 10000001},  // below 100 ns is dropped
      {{-11644473600, 100}, 1},                  // 1601-01-01 plus 100 ns
      {{-11644473600, 0}, 0},                    // before: not representable
      {{INT64_MAX, 0}, UINT64_MAX},
  };
  for (const auto& [time, ticks] : cases) EXPECT_EQ(posix_file_time(time), ticks) << time.tv_sec;
}

TEST_F(fs, a_system_path_longer_than_255_bytes_is_refused_not_cut) {
  // A file whose system path is exactly 255 bytes, and a device path that
  // would reach it if cut there.
  const std::string tail(255 - dir.size() - 1, 'a');
  write_text(tail, "wrong file");
  EXPECT_TRUE(device->open_read(("/" + tail).c_str()));
  const std::string longer = "/" + tail + "bbbb";
  fs_path_t out;
  EXPECT_EQ(device->resolve(out, longer.c_str()), nullptr);
  EXPECT_FALSE(device->open_read(longer.c_str()) || device->open_rw(longer.c_str()) ||
               device->open_write(longer.c_str()) || device->remove_file(longer.c_str()));
  EXPECT_EQ(read_text(tail), "wrong file");  // not emptied nor removed through a cut path
  fs_stat_t status;
  EXPECT_FALSE(device->stat(longer.c_str(), status));
  EXPECT_FALSE(device->make_path((longer + "/deeper").c_str()));
  EXPECT_FALSE(stdfs::exists(at(tail + "bbbb")));
  EXPECT_TRUE(listing(longer.c_str(), true).empty());
}

TEST_F(fs, make_path_make_parent_and_remove) {
  EXPECT_TRUE(device->make_path("/a/b/c"));
  EXPECT_TRUE(device->make_path("/a/b/c"));  // existing: still success
  write_text("file", "x");
  EXPECT_FALSE(device->make_path("/file/sub"));  // a file is in the way
  EXPECT_TRUE(device->remove_file("/file"));
  EXPECT_FALSE(device->remove_file("/file"));
  EXPECT_FALSE(device->remove_dir("/a/b"));  // not empty
  EXPECT_TRUE(device->remove_dir("/a/b/c"));
  EXPECT_TRUE(device->make_parent("/top.txt"));  // a top-level name has no parent to make
}

TEST_F(fs, open_write_creates_parents_and_empties_open_rw_keeps) {
  {
    auto_ptr_t<file_t> file = device->open_write("/out/deep/data.bin");
    ASSERT_TRUE(file);
    ASSERT_TRUE(file->write_at("0123456789", 10, 0));
    ASSERT_TRUE(file->write_at("AB", 2, 12));  // past the end: a zero-filled gap
  }
  EXPECT_EQ(read_text("out/deep/data.bin"), std::string("0123456789\0\0AB", 14));
  ASSERT_TRUE(device->open_rw("/out/deep/data.bin")->write_at("x", 1, 0));
  EXPECT_EQ(read_text("out/deep/data.bin").substr(0, 3), "x12");
  EXPECT_EQ(device->open_write("/out/deep/data.bin")->size(), 0u);
}

TEST_F(fs, list_dir_gives_files_and_directories) {
  ASSERT_TRUE(device->make_path("/list/sub"));
  ASSERT_TRUE(device->make_path("/list/.svn"));
  write_text("list/archive.qim", "x");
  ASSERT_EQ(::mkfifo(at("list/pipe").c_str(), 0600), 0);
  ASSERT_EQ(::symlink("archive.qim", at("list/link").c_str()), 0);
  ASSERT_EQ(::symlink("nowhere", at("list/dangling").c_str()), 0);
  EXPECT_EQ(listing("/list", false),
            (entries_t{{"archive.qim", FS_KIND_FILE}, {"link", FS_KIND_FILE}, {"sub", FS_KIND_DIR}}));
  EXPECT_EQ(listing("/list", true)[2], (entries_t::value_type{"/list/sub", FS_KIND_DIR}));
}

}  // namespace
}  // namespace keln
