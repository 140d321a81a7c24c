// Conversions from POSIX file status to the core's status record.
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <ctime>

#include "kelncore/fs/fs_types.h"

namespace keln {

// FS_KIND_DIR for a directory, FS_KIND_FILE for a regular file, else
// FS_KIND_OTHER.
std::uint32_t posix_kind(mode_t mode);

// A time as 100-nanosecond units since 1601-01-01 00:00 UTC; 0 for a time
// before that instant (not representable), the largest value for one too far
// ahead to count (beyond the year 60000).
std::uint64_t posix_file_time(const timespec& time);

// Fills out (when not null) from st. False when the modification time is not
// representable (posix_file_time gives 0).
bool posix_fill_status(const struct stat& st, fs_stat_t* out);

}  // namespace keln
