#include "documents/qix_text_out.h"

#include <cstring>

namespace keln {

void qix_buffer_out_t::write(const char* bytes, std::size_t count) {
  const std::uint32_t at = text.size();
  if (count == 0 || !text.grow_by(static_cast<std::uint32_t>(count))) return;
  std::memcpy(text.data() + at, bytes, count);
}

void qix_stdio_out_t::write(const char* bytes, std::size_t count) { std::fwrite(bytes, 1, count, m_stream); }

}  // namespace keln
