#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "fs_temp_dir.h"
#include "kelncore/fs/fs.h"
#include "kelncore/fs/sysfs_global_device.h"

namespace keln {
namespace {

using ::testing::internal::CaptureStderr;
using ::testing::internal::GetCapturedStderr;
using fs = fs_temp_dir;

TEST_F(fs, startup_creates_the_system_device_and_shutdown_deletes_it) {
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

TEST_F(fs, fs_open_refuses_bad_paths_devices_and_what_is_not_a_file) {
  write_text("doc.qim", "x");
  ASSERT_EQ(::mkfifo(at("pipe").c_str(), 0600), 0);
  CaptureStderr();
  EXPECT_FALSE(fs_open("data/doc.qim", FS_DEVICE_ROOTED));
  EXPECT_EQ(GetCapturedStderr(), "*** ERROR *** : [fs] fs_open called with invalid path \"data/doc.qim\"\r\n");
  CaptureStderr();
  EXPECT_FALSE(fs_open(at("doc.qim").c_str(), FS_DEVICE_ROOTED));  // no device behind the id
  EXPECT_FALSE(fs_open(at("doc.qim").c_str(), 7));
  for (const std::string& path : {at("missing"), dir, at("pipe")}) EXPECT_FALSE(fs_open(path.c_str(), FS_DEVICE_SYSTEM));
  EXPECT_EQ(GetCapturedStderr(), "");
  EXPECT_TRUE(fs_is_dir(dir.c_str(), FS_DEVICE_SYSTEM));
  EXPECT_FALSE(fs_is_dir(at("doc.qim").c_str(), FS_DEVICE_SYSTEM));
  EXPECT_FALSE(fs_is_dir(at("missing").c_str(), FS_DEVICE_SYSTEM));
  EXPECT_FALSE(fs_is_dir(dir.c_str(), FS_DEVICE_ROOTED));
}

TEST_F(fs, read_is_relative_to_the_working_directory_and_keeps_the_position_on_failure) {
  const std::string name = "velm_fs_relative_" + std::to_string(::getpid()) + ".txt";
  std::ofstream(name, std::ios::binary) << "hello world";
  auto_ptr_t<file_t> file = fs_open(name.c_str(), FS_DEVICE_SYSTEM);
  std::filesystem::remove(name);
  ASSERT_TRUE(file);
  EXPECT_EQ(file->device_id(), FS_DEVICE_SYSTEM);
  EXPECT_STREQ(file->path(), name.c_str());
  EXPECT_EQ(file->size(), 11u);
  char text[16] = {};
  ASSERT_TRUE(file->read(text, 5));
  EXPECT_EQ(std::string(text, 5), "hello");
  EXPECT_FALSE(file->read(text, 10));  // only 6 bytes are left: a short read fails
  EXPECT_EQ(file->state(), FS_STATE_FAILED);
  EXPECT_EQ(file->position(), 5u);
  ASSERT_TRUE(file->read(text, 6));
  EXPECT_EQ(std::string(text, 6), " world");
  EXPECT_EQ(file->state(), FS_STATE_OK);
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
  EXPECT_EQ(status.kind, FS_KIND_FILE);
  auto_ptr_t<file_t> file = fs_open(at("big.bin").c_str(), FS_DEVICE_SYSTEM);
  ASSERT_TRUE(file);
  EXPECT_EQ(file->size(), five_gib);
  char last = 0;
  ASSERT_TRUE(file->read_at(&last, 1, five_gib - 1));
  EXPECT_EQ(last, 'z');
}

TEST_F(fs, modification_time_counts_100_ns_units_since_1601) {
  write_text("dated.txt", "x");
  // 2000-01-01 00:00:00.5 UTC.
  const timespec times[2] = {{946684800, 500000000}, {946684800, 500000000}};
  ASSERT_EQ(::utimensat(AT_FDCWD, at("dated.txt").c_str(), times, 0), 0);
  const std::uint64_t expected = 125911584000000000ull + 5000000ull;
  fs_stat_t by_path, by_file;
  ASSERT_TRUE(fs_stat(at("dated.txt").c_str(), by_path, FS_DEVICE_SYSTEM));
  auto_ptr_t<file_t> file = fs_open(at("dated.txt").c_str(), FS_DEVICE_SYSTEM);
  ASSERT_TRUE(file && file->stat(by_file));
  EXPECT_EQ(by_path.modification_time, expected);
  EXPECT_EQ(by_file.modification_time, expected);
}

TEST(fs_device, base_device_and_file_support_nothing) {
  fs_device_t device;
  EXPECT_STREQ(device.name(), "");
  EXPECT_FALSE(device.open_read("/a") || device.open_write("/a") || device.open_rw("/a"));
  EXPECT_FALSE(device.remove_file("/a") || device.make_path("/a") || device.make_parent("/a/b") ||
               device.remove_dir("/a"));
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
  EXPECT_FALSE(file.write_at(&byte, 1, 0));
  fs_path_t out("unchanged");
  file.full_path(out);
  EXPECT_STREQ(out.c_str(), "unchanged");
}

}  // namespace
}  // namespace keln
