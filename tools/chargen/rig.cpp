#include "rig.h"

#include <cstdio>
#include <cstdlib>

namespace keln::chargen {

namespace {

[[noreturn]] void fail(const char* what, const std::string& name) {
  std::fprintf(stderr, "chargen: %s: %s\n", what, name.c_str());
  std::abort();
}

bool valid_name(const std::string& name) {
  if (name.empty() || name.size() > 12) return false;
  for (char c : name) {
    bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    if (!ok) return false;
  }
  return true;
}

}  // namespace

int rig_t::add_bone(const std::string& name, const std::string& parent, dvec3 joint) {
  if (!valid_name(name) || has_bone(name)) fail("bad or repeated bone name", name);
  int p = -1;
  if (parent.empty()) {
    if (!bones_.empty()) fail("second root bone", name);
  } else {
    p = bone(parent);
  }
  bones_.push_back({name, p, joint});
  return static_cast<int>(bones_.size()) - 1;
}

bool rig_t::has_bone(const std::string& name) const {
  for (const bone_def_t& b : bones_)
    if (b.name == name) return true;
  return false;
}

int rig_t::bone(const std::string& name) const {
  for (size_t i = 0; i < bones_.size(); ++i)
    if (bones_[i].name == name) return static_cast<int>(i);
  fail("unknown bone", name);
}

void rig_t::capsule(const std::string& b, dvec3 a, dvec3 e, double ra, double rb) {
  primitives_.push_back({primitive_t::capsule, bone(b), a, e, ra, rb, {}, {}});
}

void rig_t::ellipsoid(const std::string& b, dvec3 centre, dvec3 radii, dquat orientation) {
  primitives_.push_back({primitive_t::ellipsoid, bone(b), centre, {}, 0, 0, radii, orientation});
}

void rig_t::limb(const std::string& b, const std::string& child, double ra, double rb) {
  capsule(b, bones_[bone(b)].joint, bones_[bone(child)].joint, ra, rb);
}

void rig_t::transform(double s, dvec3 shift) {
  for (bone_def_t& b : bones_) b.joint = b.joint * s + shift;
  for (primitive_t& p : primitives_) {
    p.a = p.a * s + shift;
    p.b = p.b * s + shift;
    p.ra *= s;
    p.rb *= s;
    p.radii = p.radii * s;
  }
}

dvec3 rig_t::rest_offset(int i) const {
  const bone_def_t& b = bones_[i];
  return b.parent < 0 ? b.joint : b.joint - bones_[b.parent].joint;
}

std::string side_name(const std::string& base, int side) { return base + (side < 0 ? "_R" : "_L"); }

}  // namespace keln::chargen
