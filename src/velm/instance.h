#pragma once
// The base of animated instances.

namespace keln::velm {

// An animated copy of something the program draws. Owners destroy instances
// through this base.
class instance_t {
 public:
  instance_t() = default;
  virtual ~instance_t() = default;
  instance_t(const instance_t&) = delete;
  instance_t& operator=(const instance_t&) = delete;

  // Brings the instance's current state up to date with what drives it. The
  // base has nothing to update.
  virtual void update() {}
};

}  // namespace keln::velm
