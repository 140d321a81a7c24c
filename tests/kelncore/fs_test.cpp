#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "fs_temp_dir.h"
#include "kelncore/fs/fs.h"
#include "kelncore/fs/fs_io_layer_posix.h"
#include "kelncore/fs/posix_status.h"
#include "kelncore/fs/sysfs_global_device.h"

namespace keln {
namespace {

using ::testing::internal::CaptureStderr;
using ::testing::internal::GetCapturedStderr;
using fs = fs_temp_dir;

TEST_F(fs, startup_creates_the_system_device_and_shutdown_deletes_it) {
  EXPECT_EQ(fs_get_device(FS_DEVICE_SYSTEM), sysfs_global_device_t::instance());
  EXPECT_EQ(fs_get_device(FS_DEVICE_ROOTED), nullptr);
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
  EXPECT_FALSE(fs_is_dir(dir.c_str(), FS_DEVICE_ROOTED));
}

TEST_F(fs, read_is_relative_to_the_working_directory_and_keeps_the_position_on_failure) {
  const std::string name = "velm_fs_relative_" + std::to_string(::getpid()) + ".txt";
  std::ofstream(name, std::ios::binary) << "hello world";
  auto_ptr_t<file_t> file = fs_open(name.c_str(), FS_DEVICE_SYSTEM);
  std::filesystem::remove(name);
  ASSERT_TRUE(file);
  EXPECT_EQ(file->size(), 11u);
  char text[16] = {};
  ASSERT_TRUE(file->read(text, 5));
  EXPECT_FALSE(file->read(text, 10));  // only 6 bytes are left: a short read fails
  EXPECT_EQ(file->state(), FS_STATE_FAILED);
  EXPECT_EQ(file->position(), 5u);
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
  EXPECT_EQ(status.kind, FS_KIND_FILE);
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
      {{0, 199}, unix_epoch_ticks + 1},  // below 100 ns is dropped
      {{1, 0}, unix_epoch_ticks + 10000000},
      {{-11644473600, 100}, 1},  // 1601-01-01 plus 100 ns
      {{-11644473600, 0}, 0},    // before: not representable
      {{-11644473601, 999999999}, 0},
      {{INT64_MAX, 0}, UINT64_MAX},
  };
  for (const auto& [time, ticks] : cases) EXPECT_EQ(posix_file_time(time), ticks) << time.tv_sec;
  struct stat st = {};
  st.st_mode = S_IFDIR;
  st.st_size = 9;
  st.st_mtim = {946684800, 500000000};  // 2000-01-01 00:00:00.5 UTC
  fs_stat_t out = {};
  ASSERT_TRUE(posix_fill_status(st, &out));
  EXPECT_EQ(out.modification_time, 125911584005000000ull);
  EXPECT_EQ(out.kind, FS_KIND_DIR);
  EXPECT_EQ(out.size, 9u);
  st.st_mtim = {-11644473601, 0};
  EXPECT_FALSE(posix_fill_status(st, &out));
  EXPECT_EQ(posix_kind(S_IFIFO), FS_KIND_OTHER);
}

}  // namespace
}  // namespace keln
