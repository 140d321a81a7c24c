#include "kelncore/fs/fs_io_layer_posix.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <set>
#include <string>

#include "fs_temp_dir.h"
#include "kelncore/collections/auto_ptr.h"
#include "kelncore/fs/posix_status.h"

namespace keln {
namespace {

constexpr std::uint64_t k_unix_epoch_ticks = 116444736000000000ull;  // 1970 in 100-ns units since 1601

TEST(posix_file_time, counts_from_1601_in_100_ns_units_and_saturates) {
  const std::pair<timespec, std::uint64_t> cases[] = {
      {{0, 0}, k_unix_epoch_ticks},
      {{0, 199}, k_unix_epoch_ticks + 1},  // below 100 ns is dropped
      {{1, 0}, k_unix_epoch_ticks + 10000000},
      {{-11644473600, 100}, 1},  // 1601-01-01 plus 100 ns
      {{-11644473600, 0}, 0},    // before: not representable
      {{-11644473601, 999999999}, 0},
      {{INT64_MAX, 0}, UINT64_MAX},
  };
  for (const auto& [time, ticks] : cases) EXPECT_EQ(posix_file_time(time), ticks) << time.tv_sec;
  struct stat st = {};
  st.st_mode = S_IFREG;
  st.st_mtim = {-11644473601, 0};
  fs_stat_t out = {1, 2, 3};
  EXPECT_FALSE(posix_fill_status(st, &out));
  EXPECT_EQ(out.size, 2u);  // untouched
  EXPECT_EQ(posix_kind(S_IFDIR | 0755), FS_KIND_DIR);
  EXPECT_EQ(posix_kind(S_IFREG | 0644), FS_KIND_FILE);
  EXPECT_EQ(posix_kind(S_IFIFO), FS_KIND_OTHER);
  EXPECT_EQ(posix_kind(S_IFCHR), FS_KIND_OTHER);
}

class fs_io_layer_posix : public fs_temp_dir {
 protected:
  fs_path_t path(const char* name) const { return fs_path_t(at(name).c_str()); }
  fs_io_layer_posix_t io;
};

TEST_F(fs_io_layer_posix, reads_and_writes_exact_counts_at_offsets) {
  fs_handle_t* handle = io.open_write(path("data.bin"));
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

TEST_F(fs_io_layer_posix, opens_only_existing_regular_files_and_stats_directories) {
  const fs_path_t top(dir.c_str());
  EXPECT_EQ(io.open_read(path("absent")), nullptr);
  EXPECT_FALSE(std::filesystem::exists(at("absent")));
  EXPECT_EQ(io.open_read(top), nullptr);
  EXPECT_EQ(io.open_rw(top), nullptr);
  fs_stat_t status;
  ASSERT_TRUE(io.stat(top, &status));
  EXPECT_EQ(status.kind, FS_KIND_DIR);
  EXPECT_TRUE(io.stat(top, nullptr));
  EXPECT_FALSE(io.stat(path("absent"), &status));
}

TEST_F(fs_io_layer_posix, directories_are_made_listed_and_removed_when_empty) {
  EXPECT_TRUE(io.make_dir(path("b")));
  EXPECT_TRUE(io.make_dir(path("b")));
  EXPECT_FALSE(io.make_dir(path("no/such/parent")));
  write_text("a", "x");
  auto_ptr_t<fs_dir_iterator_t> it(io.open_dir(fs_path_t(dir.c_str())));
  std::set<std::pair<std::string, std::uint32_t>> seen;
  fs_path_t name;
  std::uint32_t kind = 99;
  while (it->next(name, &kind)) seen.emplace(name.c_str(), kind);
  EXPECT_EQ(seen, (std::set<std::pair<std::string, std::uint32_t>>{
                      {".", FS_KIND_DIR}, {"..", FS_KIND_DIR}, {"a", FS_KIND_FILE}, {"b", FS_KIND_DIR}}));
  EXPECT_FALSE(it->next(name, nullptr));
  EXPECT_FALSE(auto_ptr_t<fs_dir_iterator_t>(io.open_dir(path("absent")))->next(name, nullptr));

  write_text("b/f", "x");
  EXPECT_FALSE(io.remove_dir(path("b")));
  EXPECT_TRUE(io.remove_file(path("b/f")));
  EXPECT_TRUE(io.remove_dir(path("b")));
}

}  // namespace
}  // namespace keln
