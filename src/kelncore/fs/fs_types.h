// Shared records of the file system: device ids, entry kinds, the status
// record and the directory entry.
#pragma once

#include <cstdint>

#include "kelncore/collections/strings.h"

namespace keln {

// Device ids.
constexpr std::uint32_t FS_DEVICE_ROOTED = 1;  // paths must begin with '/'; no device
constexpr std::uint32_t FS_DEVICE_SYSTEM = 2;  // the operating system's files

// Entry kinds: directories, regular (disk) files, everything else.
constexpr std::uint32_t FS_KIND_OTHER = 0;
constexpr std::uint32_t FS_KIND_FILE = 1;
constexpr std::uint32_t FS_KIND_DIR = 2;

// A system path as handed to the operating system: at most 255 bytes.
using fs_path_t = string_local_t<256>;

struct fs_stat_t {
  // Last modification, in 100-nanosecond units since 1601-01-01 00:00 UTC.
  std::uint64_t modification_time;
  // Size in bytes (all 64 bits).
  std::uint64_t size;
  // FS_KIND_OTHER, FS_KIND_FILE or FS_KIND_DIR.
  std::uint32_t kind;
};

struct fs_direntry_t {
  // The bare entry name, or the listed directory's device path, '/' and the
  // entry name.
  string_dyn name;
  std::uint32_t kind;  // FS_KIND_FILE or FS_KIND_DIR
};

}  // namespace keln
