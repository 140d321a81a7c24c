// sysfs_device_t: the operating system's files as a device, through the
// process-wide I/O layer (which exists while sysfs_global_device_t does).
#pragma once

#include "kelncore/fs/fs_device.h"

namespace keln {

class sysfs_device_t : public fs_device_t {
 public:
  // root: text put in front of every device path (for instance "/data", so
  // that "/a.qim" is "/data/a.qim").
  explicit sysfs_device_t(const char* root = "") : fs_device_t(root) {}

  auto_ptr_t<file_t> open_read(const char* path) override;
  auto_ptr_t<file_t> open_write(const char* path) override;
  auto_ptr_t<file_t> open_rw(const char* path) override;
  bool remove_file(const char* path) override;
  bool make_path(const char* path) override;
  bool remove_dir(const char* path) override;
  bool stat(const char* path, fs_stat_t& out) override;
  // Skips ".", "..", ".svn" and entries that are neither files nor
  // directories. Lists are built 256 nodes to a chunk.
  void list_dir(auto_ptr_t<fs_dir_list_t>& out, const char* path, bool full_paths) override;
};

}  // namespace keln
