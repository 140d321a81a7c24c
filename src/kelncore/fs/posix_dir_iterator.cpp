#include "kelncore/fs/posix_dir_iterator.h"

#include <fcntl.h>
#include <sys/stat.h>

#include "kelncore/fs/posix_status.h"

namespace keln {

posix_dir_iterator_t::posix_dir_iterator_t(const char* path) : m_dir(::opendir(path[0] ? path : ".")) {}

posix_dir_iterator_t::~posix_dir_iterator_t() {
  if (m_dir) ::closedir(m_dir);
}

bool posix_dir_iterator_t::next(mstring_t& name, std::uint32_t* kind) {
  if (!m_dir) return false;
  const dirent* entry = ::readdir(m_dir);
  if (!entry) {
    ::closedir(m_dir);
    m_dir = nullptr;
    return false;
  }
  if (kind) {
    switch (entry->d_type) {
      case DT_DIR:
        *kind = FS_KIND_DIR;
        break;
      case DT_REG:
        *kind = FS_KIND_FILE;
        break;
      case DT_LNK:
      case DT_UNKNOWN: {
        struct stat st;
        *kind = ::fstatat(::dirfd(m_dir), entry->d_name, &st, 0) == 0 ? posix_kind(st.st_mode) : FS_KIND_OTHER;
        break;
      }
      default:
        *kind = FS_KIND_OTHER;
    }
  }
  name.assign(entry->d_name);
  return true;
}

}  // namespace keln
