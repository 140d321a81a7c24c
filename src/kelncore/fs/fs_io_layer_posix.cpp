#include "kelncore/fs/fs_io_layer_posix.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "kelncore/fs/posix_dir_iterator.h"
#include "kelncore/fs/posix_status.h"

namespace keln {

// A handle is a small heap record holding the file descriptor.
struct fs_handle_t {
  int fd;
};

namespace {

// Opens path with the given flags and keeps it only when it is a regular
// file. O_NONBLOCK keeps the open of a FIFO from waiting for a writer; it has
// no effect on the regular files that are kept.
fs_handle_t* open_regular(const char* path, int flags) {
  const int fd = ::open(path, flags | O_CLOEXEC | O_NONBLOCK, 0666);
  if (fd < 0) return nullptr;
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return nullptr;
  }
  return new fs_handle_t{fd};
}

// The range [offset, offset + count) must be addressable by off_t.
bool valid_range(std::size_t count, std::uint64_t offset) {
  constexpr std::uint64_t k_largest_offset = static_cast<std::uint64_t>(INT64_MAX);
  return offset <= k_largest_offset && count <= k_largest_offset - offset;
}

// Moves exactly count bytes at offset with pread or pwrite. Both may move
// fewer bytes than asked (large counts, signals), so this goes on until
// everything has moved; the end of the file or a failed call is a failure.
template <typename Byte, typename Transfer>
bool transfer_all(int fd, Byte* bytes, std::size_t count, std::uint64_t offset, Transfer transfer) {
  if (!valid_range(count, offset)) return false;
  std::size_t done = 0;
  while (done < count) {
    const ssize_t n = transfer(fd, bytes + done, count - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

fs_handle_t* fs_io_layer_posix_t::open_read(const string& path) { return open_regular(path.text, O_RDONLY); }

fs_handle_t* fs_io_layer_posix_t::open_write(const string& path) {
  return open_regular(path.text, O_RDWR | O_CREAT | O_TRUNC);
}

fs_handle_t* fs_io_layer_posix_t::open_rw(const string& path) { return open_regular(path.text, O_RDWR | O_CREAT); }

void fs_io_layer_posix_t::close(fs_handle_t* handle) {
  ::close(handle->fd);
  delete handle;
}

bool fs_io_layer_posix_t::remove_file(const string& path) { return ::unlink(path.text) == 0; }

bool fs_io_layer_posix_t::read_at(fs_handle_t* handle, void* buffer, std::size_t count, std::uint64_t offset) {
  return transfer_all(handle->fd, static_cast<char*>(buffer), count, offset, ::pread);
}

bool fs_io_layer_posix_t::write_at(fs_handle_t* handle, const void* buffer, std::size_t count,
                                   std::uint64_t offset) {
  return transfer_all(handle->fd, static_cast<const char*>(buffer), count, offset, ::pwrite);
}

bool fs_io_layer_posix_t::stat(fs_handle_t* handle, fs_stat_t* out) {
  struct stat st;
  return ::fstat(handle->fd, &st) == 0 && S_ISREG(st.st_mode) && posix_fill_status(st, out);
}

bool fs_io_layer_posix_t::stat(const string& path, fs_stat_t* out) {
  struct stat st;
  return ::stat(path.text, &st) == 0 && posix_fill_status(st, out);
}

bool fs_io_layer_posix_t::make_dir(const string& path) {
  return ::mkdir(path.text, 0777) == 0 || errno == EEXIST;
}

bool fs_io_layer_posix_t::remove_dir(const string& path) { return ::rmdir(path.text) == 0; }

fs_dir_iterator_t* fs_io_layer_posix_t::open_dir(const string& path) { return new posix_dir_iterator_t(path.text); }

}  // namespace keln
