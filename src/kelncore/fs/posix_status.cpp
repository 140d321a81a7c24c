#include "kelncore/fs/posix_status.h"

namespace keln {

namespace {

// Seconds from 1601-01-01 to 1970-01-01 (369 years, 89 of them leap years).
constexpr std::int64_t k_seconds_1601_to_1970 = 11644473600;
constexpr std::int64_t k_ticks_per_second = 10000000;  // 100-ns units

}  // namespace

std::uint32_t posix_kind(mode_t mode) {
  if (S_ISDIR(mode)) return FS_KIND_DIR;
  if (S_ISREG(mode)) return FS_KIND_FILE;
  return FS_KIND_OTHER;
}

std::uint64_t posix_file_time(const timespec& time) {
  const std::int64_t seconds = time.tv_sec;
  if (seconds < -k_seconds_1601_to_1970) return 0;
  const std::uint64_t since_1601 = seconds >= 0
                                       ? static_cast<std::uint64_t>(seconds) + k_seconds_1601_to_1970
                                       : static_cast<std::uint64_t>(seconds + k_seconds_1601_to_1970);
  if (since_1601 >= UINT64_MAX / k_ticks_per_second) return UINT64_MAX;
  return since_1601 * k_ticks_per_second + static_cast<std::uint64_t>(time.tv_nsec / 100);
}

bool posix_fill_status(const struct stat& st, fs_stat_t* out) {
  const std::uint64_t time = posix_file_time(st.st_mtim);
  if (time == 0) return false;
  if (out) {
    out->modification_time = time;
    out->size = static_cast<std::uint64_t>(st.st_size);
    out->kind = posix_kind(st.st_mode);
  }
  return true;
}

}  // namespace keln
