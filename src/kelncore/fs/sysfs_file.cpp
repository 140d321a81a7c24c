#include "kelncore/fs/sysfs_file.h"

#include "kelncore/fs/sysfs_device.h"
#include "kelncore/fs/sysfs_global_device.h"

namespace keln {

sysfs_file_t::~sysfs_file_t() { fs_io_layer()->close(m_handle); }

void sysfs_file_t::full_path(fs_path_t& out) const {
  fs_path_t resolved;
  if (m_device->resolve(resolved, path())) out.assign(resolved.text);
}

bool sysfs_file_t::read_at(void* buffer, std::size_t count, std::uint64_t offset) {
  return fs_io_layer()->read_at(m_handle, buffer, count, offset);
}

bool sysfs_file_t::write_at(const void* buffer, std::size_t count, std::uint64_t offset) {
  return fs_io_layer()->write_at(m_handle, buffer, count, offset);
}

bool sysfs_file_t::stat(fs_stat_t& out) { return fs_io_layer()->stat(m_handle, &out); }

}  // namespace keln
