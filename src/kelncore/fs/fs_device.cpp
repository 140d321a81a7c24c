#include "kelncore/fs/fs_device.h"

#include <cstring>

namespace keln {

auto_ptr_t<file_t> fs_device_t::open_read(const char*) { return {}; }

auto_ptr_t<file_t> fs_device_t::open_write(const char*) { return {}; }

auto_ptr_t<file_t> fs_device_t::open_rw(const char*) { return {}; }

bool fs_device_t::remove_file(const char*) { return false; }

bool fs_device_t::make_path(const char*) { return false; }

bool fs_device_t::remove_dir(const char*) { return false; }

bool fs_device_t::stat(const char*, fs_stat_t&) { return false; }

const char* fs_device_t::name() const { return ""; }

void fs_device_t::list_dir(auto_ptr_t<fs_dir_list_t>& out, const char*, bool) { out.reset(nullptr); }

bool fs_device_t::make_parent(const char* path) {
  const char* last_slash = std::strrchr(path, '/');
  if (!last_slash || last_slash == path) return true;
  fs_path_t parent;
  if (!parent.assign(path, 0, 0, static_cast<std::uint32_t>(last_slash - path))) return false;
  return make_path(parent.text);
}

const char* fs_device_t::resolve(fs_path_t& out, const char* path) const {
  const bool whole = m_root.text[0] == '\0' ? out.assign(path) : out.format("%s%s", m_root.text, path);
  return whole ? out.text : nullptr;
}

}  // namespace keln
