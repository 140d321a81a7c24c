#include "kelncore/system/assert.h"

#include <cstdlib>

#include "kelncore/system/messages.h"

namespace keln {

void core_assert_failed(const char* message, const char* file, unsigned line,
                        const char* function) {
  msg_error("%s(%u): %s: %s", file, line, function, message);
  std::abort();
}

}  // namespace keln
