#include <gtest/gtest.h>

#include <sys/stat.h>

#include <set>
#include <string>

#include "fs_temp_dir.h"
#include "kelncore/collections/auto_ptr.h"
#include "kelncore/fs/fs_io_layer_posix.h"
#include "kelncore/fs/posix_status.h"

namespace keln {
namespace {

constexpr std::uint64_t k_unix_epoch_ticks = 116444736000000000ull;  // 1970 in 100-ns units since 1601

TEST(posix_file_time, counts_from_1601_in_100_ns_units) {
  EXPECT_EQ(posix_file_time({0, 0}), k_unix_epoch_ticks);
  EXPECT_EQ(posix_file_time({0, 199}), k_unix_epoch_ticks + 1);  // below 100 ns is dropped
  EXPECT_EQ(posix_file_time({1, 0}), k_unix_epoch_ticks + 10000000);
  EXPECT_EQ(posix_file_time({-11644473600, 100}), 1u);  // 1601-01-01 plus 100 ns
}

TEST(posix_file_time, times_before_1601_are_not_representable) {
  EXPECT_EQ(posix_file_time({-11644473600, 0}), 0u);
  EXPECT_EQ(posix_file_time({-11644473601, 999999999}), 0u);
  struct stat st = {};
  st.st_mode = S_IFREG;
  st.st_mtim = {-11644473601, 0};
  fs_stat_t out = {1, 2, 3};
  EXPECT_FALSE(posix_fill_status(st, &out));
  EXPECT_EQ(out.size, 2u);  // untouched
}

TEST(posix_file_time, far_future_saturates) {
  EXPECT_EQ(posix_file_time({INT64_MAX, 0}), UINT64_MAX);
}

TEST(posix_kind, directories_regular_files_and_the_rest) {
  EXPECT_EQ(posix_kind(S_IFDIR | 0755), FS_KIND_DIR);
  EXPECT_EQ(posix_kind(S_IFREG | 0644), FS_KIND_FILE);
  EXPECT_EQ(posix_kind(S_IFIFO), FS_KIND_OTHER);
  EXPECT_EQ(posix_kind(S_IFCHR), FS_KIND_OTHER);
}

using fs_io_layer_posix = fs_temp_dir;

TEST_F(fs_io_layer_posix, reads_and_writes_exact_counts_at_offsets) {
  fs_io_layer_posix_t io;
  fs_path_t path(at("data.bin").c_str());
  fs_handle_t* handle = io.open_write(path);
  ASSERT_NE(handle, nullptr);
  EXPECT_TRUE(io.write_at(handle, "abcdef", 6, 0));
  char buffer[8] = {};
  EXPECT_TRUE(io.read_at(handle, buffer, 3, 2));
  EXPECT_EQ(std::string(buffer, 3), "cde");
  EXPECT_FALSE(io.read_at(handle, buffer, 2, 5));  // one byte left
  EXPECT_FALSE(io.read_at(handle, buffer, 1, 6));  // at the end
  EXPECT_TRUE(io.read_at(handle, buffer, 0, 6));   // nothing asked, nothing missing
  EXPECT_FALSE(io.read_at(handle, buffer, 1, UINT64_MAX));
  EXPECT_FALSE(io.write_at(handle, "x", 1, UINT64_MAX));
  EXPECT_TRUE(io.stat(handle, nullptr));
  io.close(handle);
}

TEST_F(fs_io_layer_posix, open_read_does_not_create_and_opens_only_regular_files) {
  fs_io_layer_posix_t io;
  EXPECT_EQ(io.open_read(fs_path_t(at("absent").c_str())), nullptr);
  EXPECT_FALSE(std::filesystem::exists(at("absent")));
  EXPECT_EQ(io.open_read(fs_path_t(dir.c_str())), nullptr);
  EXPECT_EQ(io.open_rw(fs_path_t(dir.c_str())), nullptr);
}

TEST_F(fs_io_layer_posix, stat_by_path_knows_directories_and_needs_an_existing_path) {
  fs_io_layer_posix_t io;
  fs_stat_t status;
  ASSERT_TRUE(io.stat(fs_path_t(dir.c_str()), &status));
  EXPECT_EQ(status.kind, FS_KIND_DIR);
  EXPECT_TRUE(io.stat(fs_path_t(dir.c_str()), nullptr));
  EXPECT_FALSE(io.stat(fs_path_t(at("absent").c_str()), &status));
}

TEST_F(fs_io_layer_posix, make_dir_accepts_an_existing_entry_and_remove_dir_needs_an_empty_one) {
  fs_io_layer_posix_t io;
  fs_path_t sub(at("sub").c_str());
  EXPECT_TRUE(io.make_dir(sub));
  EXPECT_TRUE(io.make_dir(sub));
  EXPECT_FALSE(io.make_dir(fs_path_t(at("no/such/parent").c_str())));
  write_text("sub/f", "x");
  EXPECT_FALSE(io.remove_dir(sub));
  EXPECT_TRUE(io.remove_file(fs_path_t(at("sub/f").c_str())));
  EXPECT_TRUE(io.remove_dir(sub));
}

TEST_F(fs_io_layer_posix, directory_iterator_yields_every_entry_then_stops) {
  fs_io_layer_posix_t io;
  write_text("a", "x");
  ASSERT_TRUE(io.make_dir(fs_path_t(at("b").c_str())));
  auto_ptr_t<fs_dir_iterator_t> it(io.open_dir(fs_path_t(dir.c_str())));
  std::set<std::pair<std::string, std::uint32_t>> seen;
  fs_path_t name;
  std::uint32_t kind = 99;
  while (it->next(name, &kind)) seen.emplace(name.c_str(), kind);
  EXPECT_EQ(seen, (std::set<std::pair<std::string, std::uint32_t>>{
                      {".", FS_KIND_DIR}, {"..", FS_KIND_DIR}, {"a", FS_KIND_FILE}, {"b", FS_KIND_DIR}}));
  EXPECT_FALSE(it->next(name, nullptr));

  auto_ptr_t<fs_dir_iterator_t> missing(io.open_dir(fs_path_t(at("absent").c_str())));
  EXPECT_FALSE(missing->next(name, nullptr));
}

}  // namespace
}  // namespace keln
