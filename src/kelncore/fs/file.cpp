#include "kelncore/fs/file.h"

namespace keln {

void file_t::full_path(fs_path_t&) const {}

bool file_t::read_at(void*, std::size_t, std::uint64_t) { return false; }

bool file_t::write_at(const void*, std::size_t, std::uint64_t) { return false; }

bool file_t::stat(fs_stat_t&) { return false; }

bool file_t::read(void* buffer, std::size_t count) {
  if (!read_at(buffer, count, m_position)) {
    m_state = FS_STATE_FAILED;
    return false;
  }
  m_state = FS_STATE_OK;
  m_position += count;
  return true;
}

std::uint64_t file_t::size() {
  fs_stat_t status;
  if (!stat(status)) {
    m_state = FS_STATE_FAILED;
    return 0;
  }
  m_state = FS_STATE_OK;
  return status.size;
}

}  // namespace keln
