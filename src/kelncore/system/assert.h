// Failed internal checks: report one error line and end the process.
#pragma once

namespace keln {

// Reports "<file>(<line>): <fn>: <message>" at error level through the message
// handlers, then ends the process abnormally (no exit-time clean-up runs).
// Every check of the core passes "unknown fn" as the function text.
[[noreturn]] void core_assert_failed(const char* message, const char* file, unsigned line,
                                     const char* function);

}  // namespace keln
