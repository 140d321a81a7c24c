// sysfs_global_device_t: the system device (id FS_DEVICE_SYSTEM), root empty,
// so device paths are system paths (relative ones to the working directory).
// core_startup creates it and core_shutdown deletes it; it owns the
// process-wide I/O layer for its lifetime.
#pragma once

#include "kelncore/collections/singleton.h"
#include "kelncore/fs/fs_io_layer.h"
#include "kelncore/fs/sysfs_device.h"

namespace keln {

class sysfs_global_device_t : public sysfs_device_t, public explicit_singleton_t<sysfs_global_device_t> {
 public:
  // Creates the I/O layer. Only one system device may exist at a time.
  sysfs_global_device_t();
  // Deletes the I/O layer; every file must have been released before.
  ~sysfs_global_device_t() override;
};

// The process-wide I/O layer, null while no system device exists.
fs_io_layer_t* fs_io_layer();

}  // namespace keln
