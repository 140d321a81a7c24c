#include "kelncore/fs/sysfs_device.h"

#include <cstring>

#include "kelncore/fs/sysfs_file.h"
#include "kelncore/fs/sysfs_global_device.h"

namespace keln {

namespace {

constexpr std::uint32_t k_list_nodes_per_chunk = 256;

using io_open_t = fs_handle_t* (fs_io_layer_t::*)(const string&);

bool skipped_entry(const char* name) {
  return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0 || std::strcmp(name, ".svn") == 0;
}

// Opens through one of the I/O layer's open operations.
auto_ptr_t<file_t> open_with(sysfs_device_t* device, const char* path, io_open_t open) {
  fs_path_t system_path;
  if (!device->resolve(system_path, path)) return {};
  fs_handle_t* handle = (fs_io_layer()->*open)(system_path);
  if (!handle) return {};
  return auto_ptr_t<file_t>(new sysfs_file_t(device, path, handle));
}

}  // namespace

auto_ptr_t<file_t> sysfs_device_t::open_read(const char* path) {
  return open_with(this, path, &fs_io_layer_t::open_read);
}

auto_ptr_t<file_t> sysfs_device_t::open_write(const char* path) {
  if (!make_parent(path)) return {};
  return open_with(this, path, &fs_io_layer_t::open_write);
}

auto_ptr_t<file_t> sysfs_device_t::open_rw(const char* path) {
  if (!make_parent(path)) return {};
  return open_with(this, path, &fs_io_layer_t::open_rw);
}

bool sysfs_device_t::remove_file(const char* path) {
  fs_path_t system_path;
  return resolve(system_path, path) && fs_io_layer()->remove_file(system_path);
}

bool sysfs_device_t::remove_dir(const char* path) {
  fs_path_t system_path;
  return resolve(system_path, path) && fs_io_layer()->remove_dir(system_path);
}

bool sysfs_device_t::stat(const char* path, fs_stat_t& out) {
  fs_path_t system_path;
  return resolve(system_path, path) && fs_io_layer()->stat(system_path, &out);
}

bool sysfs_device_t::make_path(const char* path) {
  if (path[0] == '\0') return true;
  fs_path_t system_path;
  // A path that does not fit touches nothing (every prefix would fit).
  if (!resolve(system_path, path)) return false;
  // Each prefix up to a '/' after the first character; a leading '/' makes
  // no empty prefix. Only the outcome for the whole path counts.
  fs_path_t prefix;
  fs_path_t system_prefix;
  for (const char* slash = std::strchr(path + 1, '/'); slash; slash = std::strchr(slash + 1, '/')) {
    prefix.assign(path, 0, 0, static_cast<std::uint32_t>(slash - path));
    if (resolve(system_prefix, prefix.text)) fs_io_layer()->make_dir(system_prefix);
  }
  return fs_io_layer()->make_dir(system_path);
}

void sysfs_device_t::list_dir(auto_ptr_t<fs_dir_list_t>& out, const char* path, bool full_paths) {
  out.reset(new fs_dir_list_t(k_list_nodes_per_chunk));
  fs_path_t system_path;
  if (!resolve(system_path, path)) return;
  auto_ptr_t<fs_dir_iterator_t> entries(fs_io_layer()->open_dir(system_path));
  fs_path_t name;
  fs_direntry_t entry;
  while (entries->next(name, &entry.kind)) {
    if (skipped_entry(name.text) || entry.kind == FS_KIND_OTHER) continue;
    // The full name goes straight into the entry's growing string, so it is
    // never cut; the listing of "" names its entries bare.
    if (full_paths && path[0] != '\0')
      entry.name.format("%s/%s", path, name.text);
    else
      entry.name.assign(name.text);
    out->push_back(entry);
  }
}

}  // namespace keln
