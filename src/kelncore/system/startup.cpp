#include "kelncore/system/startup.h"

#include "kelncore/collections/auto_ptr.h"
#include "kelncore/fs/sysfs_global_device.h"
#include "kelncore/math/mat4_routines.h"
#include "kelncore/system/cpu.h"
#include "kelncore/system/mem_copy.h"
#include "kelncore/system/message_registry.h"
#include "kelncore/system/messages.h"

namespace keln {

namespace {

// Owner of the standard message handler. The registry is created first, so it
// is destroyed after this owner at program exit and a handler still held then
// can unregister itself.
auto_ptr_t<message_stdio_t>& stdio_handler() {
  msg_handler_list();
  static auto_ptr_t<message_stdio_t> handler;
  return handler;
}

}  // namespace

void core_startup(unsigned flags) {
  // Processor set-up: the generic sets first, then the x86 operations, then
  // the routines that the feature word selects.
  cpu_ops_install_generic();
  mat4_install_portable();
  mem_copy_install_default();
  cpu_ops_install_x86();
  cpu_setup_features(flags);

  // The monotonic clock behind time_us counts whole milliseconds already, so
  // there is no timer resolution to raise here.

  // Standard message handler; a handler held from an earlier start-up is
  // replaced.
  stdio_handler().reset(new message_stdio_t);

  // System file-system device (it publishes itself as the singleton and
  // creates the I/O layer); one held from an earlier start-up is kept.
  if (!sysfs_global_device_t::instance()) new sysfs_global_device_t;
}

void core_shutdown() {
  // System file-system device, with the I/O layer.
  delete sysfs_global_device_t::instance();

  stdio_handler().reset(nullptr);
}

}  // namespace keln
