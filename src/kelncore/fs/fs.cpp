#include "kelncore/fs/fs.h"

#include "kelncore/fs/sysfs_global_device.h"
#include "kelncore/system/messages.h"

namespace keln {

auto_ptr_t<file_t> fs_open(const char* path, std::uint32_t device_id) {
  if (device_id == FS_DEVICE_ROOTED && path[0] != '/') {
    msg_error("[fs] fs_open called with invalid path \"%s\"", path);
    return {};
  }
  fs_device_t* device = fs_get_device(device_id);
  if (!device) return {};
  auto_ptr_t<file_t> file = device->open_read(path);
  if (file) file->set_device_id(device_id);
  return file;
}

fs_device_t* fs_get_device(std::uint32_t device_id) {
  return device_id == FS_DEVICE_SYSTEM ? sysfs_global_device_t::instance() : nullptr;
}

bool fs_stat(const char* path, fs_stat_t& out, std::uint32_t device_id) {
  fs_device_t* device = fs_get_device(device_id);
  return device && device->stat(path, out);
}

bool fs_is_dir(const char* path, std::uint32_t device_id) {
  fs_stat_t status;
  return fs_stat(path, status, device_id) && status.kind == FS_KIND_DIR;
}

}  // namespace keln
