// file_t: an open file as a device hands it out. Reads and writes name their
// offset; read() keeps a position of its own. The owner deletes the file,
// which closes it (before core_shutdown).
#pragma once

#include <cstddef>
#include <cstdint>

#include "kelncore/collections/strings.h"
#include "kelncore/fs/fs_types.h"

namespace keln {

// State after the last read() or size().
constexpr std::uint32_t FS_STATE_OK = 0;
constexpr std::uint32_t FS_STATE_FAILED = 2;

class file_t {
 public:
  // path: the device path the file was opened with (copied).
  explicit file_t(const char* path) : m_path(path) {}
  virtual ~file_t() = default;
  file_t(const file_t&) = delete;
  file_t& operator=(const file_t&) = delete;

  // The system path of the file; the base leaves out unchanged.
  virtual void full_path(fs_path_t& out) const;
  // Exactly count bytes at offset; a short read fails. The base fails.
  virtual bool read_at(void* buffer, std::size_t count, std::uint64_t offset);
  // Exactly count bytes at offset; a short write fails. The base fails.
  virtual bool write_at(const void* buffer, std::size_t count, std::uint64_t offset);
  // Writes buffered data out; files here write through, so nothing to do.
  virtual void flush() {}
  // Status of the open file. The base fails.
  virtual bool stat(fs_stat_t& out);

  // read_at at the position: on success state FS_STATE_OK and the position
  // advances by count; on failure state FS_STATE_FAILED and it stays.
  bool read(void* buffer, std::size_t count);
  // The size in bytes with state FS_STATE_OK, or 0 with FS_STATE_FAILED.
  std::uint64_t size();
  void set_device_id(std::uint32_t id) { m_device_id = id; }

  const char* path() const { return m_path.text; }
  std::uint64_t position() const { return m_position; }
  std::uint32_t state() const { return m_state; }
  std::uint32_t device_id() const { return m_device_id; }

 private:
  string_dyn m_path;
  std::uint64_t m_position = 0;
  std::uint32_t m_state = FS_STATE_OK;
  std::uint32_t m_device_id = 0;
};

}  // namespace keln
