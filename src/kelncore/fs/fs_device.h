// fs_device_t: a numbered source of files. Device paths use '/' as the
// separator; a device turns one into a system path by putting its root text
// in front (no separator added, no other normalisation). A system path must
// fit in 255 bytes: an operation whose path would not is refused.
#pragma once

#include <cstdint>

#include "kelncore/collections/auto_ptr.h"
#include "kelncore/collections/list.h"
#include "kelncore/collections/strings.h"
#include "kelncore/fs/file.h"
#include "kelncore/fs/fs_types.h"

namespace keln {

using fs_dir_list_t = list_dyn_t<fs_direntry_t>;

class fs_device_t {
 public:
  explicit fs_device_t(const char* root = "") : m_root(root) {}
  virtual ~fs_device_t() = default;
  fs_device_t(const fs_device_t&) = delete;
  fs_device_t& operator=(const fs_device_t&) = delete;

  // Opens an existing file for reading; empty on failure. The base fails.
  virtual auto_ptr_t<file_t> open_read(const char* path);
  // Creates the parent directories, then creates or empties the file and
  // opens it for reading and writing; empty on failure. The base fails.
  virtual auto_ptr_t<file_t> open_write(const char* path);
  // As open_write, but an existing file keeps its contents.
  virtual auto_ptr_t<file_t> open_rw(const char* path);
  virtual bool remove_file(const char* path);
  // Creates every directory along path (a/b/c: a, a/b, a/b/c); existing ones
  // are fine. The result is that of the last one. The base fails.
  virtual bool make_path(const char* path);
  // Removes an empty directory. The base fails.
  virtual bool remove_dir(const char* path);
  virtual bool stat(const char* path, fs_stat_t& out);
  // The device's name; the base's is empty.
  virtual const char* name() const;
  // Lists the directory at path into a new list owned by out (empty when the
  // directory cannot be read; the base always leaves out empty). With
  // full_paths each name is path, '/', the entry name; otherwise the bare name.
  virtual void list_dir(auto_ptr_t<fs_dir_list_t>& out, const char* path, bool full_paths);

  // Shared by every device:
  // Makes the directory that holds path (through make_path). True at once
  // for a bare name or a name right under '/'.
  virtual bool make_parent(const char* path);
  // The system path for a device path, written to out; its text, or null when
  // it does not fit in out (out then holds a cut text that must not be used).
  virtual const char* resolve(fs_path_t& out, const char* path) const;

  const char* root() const { return m_root.text; }

 private:
  string_dyn m_root;
};

}  // namespace keln
