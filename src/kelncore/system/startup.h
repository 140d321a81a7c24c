// Start-up and shutdown of the core library, called by main around the
// application body.
#pragma once

namespace keln {

// Brings the core up, in this order: processor set-up (routine tables; the
// processor is identified when the low byte of flags is non-zero), the
// standard message handler, the system file-system device. Messages reported
// before the handler exists reach no handler.
void core_startup(unsigned flags);

// Reverses core_startup: deletes the system file-system device, then the
// standard message handler.
void core_shutdown();

}  // namespace keln
