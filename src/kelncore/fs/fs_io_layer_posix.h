// fs_io_layer_posix_t: the low-level file operations over POSIX calls
// (open, pread, pwrite, fstat, stat, unlink, mkdir, rmdir, opendir).
#pragma once

#include "kelncore/fs/fs_io_layer.h"

namespace keln {

class fs_io_layer_posix_t : public fs_io_layer_t {
 public:
  fs_handle_t* open_read(const string& path) override;
  fs_handle_t* open_write(const string& path) override;
  fs_handle_t* open_rw(const string& path) override;
  void close(fs_handle_t* handle) override;
  bool remove_file(const string& path) override;
  bool read_at(fs_handle_t* handle, void* buffer, std::size_t count, std::uint64_t offset) override;
  bool write_at(fs_handle_t* handle, const void* buffer, std::size_t count, std::uint64_t offset) override;
  bool stat(fs_handle_t* handle, fs_stat_t* out) override;
  bool stat(const string& path, fs_stat_t* out) override;
  bool make_dir(const string& path) override;
  bool remove_dir(const string& path) override;
  fs_dir_iterator_t* open_dir(const string& path) override;
};

}  // namespace keln
