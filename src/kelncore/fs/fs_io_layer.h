// fs_io_layer_t: the low-level file operations beneath the system device,
// with system paths (already resolved, NUL-terminated). One process-wide
// layer exists while the system device does (see sysfs_global_device_t).
#pragma once

#include <cstddef>
#include <cstdint>

#include "kelncore/collections/strings.h"
#include "kelncore/fs/fs_types.h"

namespace keln {

// An open file of the layer; opaque, owned by whoever opened it and given
// back through close.
struct fs_handle_t;

// Walks the entries of one directory, "." and ".." included, in the order
// the operating system returns them.
class fs_dir_iterator_t {
 public:
  // The next entry: its name into name and, when kind is not null, its kind
  // (symbolic links count as what they point at; a dangling one is
  // FS_KIND_OTHER). False when there is none left or the directory could not
  // be read.
  virtual bool next(mstring_t& name, std::uint32_t* kind) = 0;
  virtual ~fs_dir_iterator_t() = default;
};

class fs_io_layer_t {
 public:
  virtual ~fs_io_layer_t() = default;
  // Opens an existing regular file for reading; null when it does not exist,
  // is not a regular file or cannot be opened.
  virtual fs_handle_t* open_read(const string& path) = 0;
  // Creates or empties a regular file and opens it for reading and writing.
  virtual fs_handle_t* open_write(const string& path) = 0;
  // Opens a regular file for reading and writing, creating it when absent and
  // keeping its contents.
  virtual fs_handle_t* open_rw(const string& path) = 0;
  // Closes and releases a handle of this layer.
  virtual void close(fs_handle_t* handle) = 0;
  virtual bool remove_file(const string& path) = 0;
  // Reads exactly count bytes at offset; anything less (end of file
  // included) is a failure.
  virtual bool read_at(fs_handle_t* handle, void* buffer, std::size_t count, std::uint64_t offset) = 0;
  // Writes exactly count bytes at offset; anything less is a failure.
  virtual bool write_at(fs_handle_t* handle, const void* buffer, std::size_t count,
                        std::uint64_t offset) = 0;
  // Status of an open file. With a null out only success is reported. Fails
  // when the modification time lies at or before 1601.
  virtual bool stat(fs_handle_t* handle, fs_stat_t* out) = 0;
  // Status of a path (links followed); as above.
  virtual bool stat(const string& path, fs_stat_t* out) = 0;
  // Creates one directory; an existing entry of that name counts as success.
  virtual bool make_dir(const string& path) = 0;
  // Removes an empty directory.
  virtual bool remove_dir(const string& path) = 0;
  // An iterator over the directory (the working directory for an empty
  // path), owned by the caller; one that cannot be read yields no entry.
  virtual fs_dir_iterator_t* open_dir(const string& path) = 0;
};

}  // namespace keln
