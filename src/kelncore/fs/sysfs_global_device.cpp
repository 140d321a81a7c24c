#include "kelncore/fs/sysfs_global_device.h"

#include "kelncore/fs/fs_io_layer_posix.h"

namespace keln {

namespace {

fs_io_layer_t* g_io_layer = nullptr;

}  // namespace

fs_io_layer_t* fs_io_layer() { return g_io_layer; }

sysfs_global_device_t::sysfs_global_device_t() { g_io_layer = new fs_io_layer_posix_t; }

sysfs_global_device_t::~sysfs_global_device_t() {
  delete g_io_layer;
  g_io_layer = nullptr;
}

}  // namespace keln
