// posix_dir_iterator_t: directory entries through opendir/readdir.
#pragma once

#include <dirent.h>

#include "kelncore/fs/fs_io_layer.h"

namespace keln {

class posix_dir_iterator_t : public fs_dir_iterator_t {
 public:
  // Opens the directory at path (the working directory when empty); when it
  // cannot be opened the iterator yields nothing.
  explicit posix_dir_iterator_t(const char* path);
  ~posix_dir_iterator_t() override;
  posix_dir_iterator_t(const posix_dir_iterator_t&) = delete;
  posix_dir_iterator_t& operator=(const posix_dir_iterator_t&) = delete;

  // Entries whose type the directory does not record (and symbolic links)
  // are looked up with fstatat, following links.
  bool next(mstring_t& name, std::uint32_t* kind) override;

 private:
  DIR* m_dir;  // null when exhausted or never opened
};

}  // namespace keln
