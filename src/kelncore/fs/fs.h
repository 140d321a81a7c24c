// The file system's entry points by device id.
#pragma once

#include <cstdint>

#include "kelncore/collections/auto_ptr.h"
#include "kelncore/fs/file.h"
#include "kelncore/fs/fs_device.h"
#include "kelncore/fs/fs_types.h"

namespace keln {

// Opens path for reading on the device with the given id and records the id
// in the file; empty on failure. On FS_DEVICE_ROOTED a path that does not
// begin with '/' reports "[fs] fs_open called with invalid path \"<path>\"";
// an id without a device (every id but FS_DEVICE_SYSTEM, and that one before
// core_startup) gives an empty result without a message.
auto_ptr_t<file_t> fs_open(const char* path, std::uint32_t device_id);

// The device of an id: the system device for FS_DEVICE_SYSTEM, else null.
fs_device_t* fs_get_device(std::uint32_t device_id);

// The device's stat of path; false also for an id without a device.
bool fs_stat(const char* path, fs_stat_t& out, std::uint32_t device_id);

// fs_stat succeeds and the kind is FS_KIND_DIR.
bool fs_is_dir(const char* path, std::uint32_t device_id);

}  // namespace keln
