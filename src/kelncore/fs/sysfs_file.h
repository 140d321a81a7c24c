// sysfs_file_t: a file of a sysfs_device_t, over a handle of the process-wide
// I/O layer.
#pragma once

#include "kelncore/fs/file.h"
#include "kelncore/fs/fs_io_layer.h"

namespace keln {

class sysfs_device_t;

class sysfs_file_t : public file_t {
 public:
  // device: the opening device (not owned; outlives the file). handle: an open
  // handle of the I/O layer, owned from now on.
  sysfs_file_t(sysfs_device_t* device, const char* path, fs_handle_t* handle)
      : file_t(path), m_device(device), m_handle(handle) {}
  // Closes the handle through the I/O layer, which must still exist.
  ~sysfs_file_t() override;

  // The device's system path for the file's path (unchanged if it does not fit).
  void full_path(fs_path_t& out) const override;
  bool read_at(void* buffer, std::size_t count, std::uint64_t offset) override;
  bool write_at(const void* buffer, std::size_t count, std::uint64_t offset) override;
  bool stat(fs_stat_t& out) override;

 private:
  sysfs_device_t* m_device;
  fs_handle_t* m_handle;
};

}  // namespace keln
