// A character's rig as the generator models it: bones with their rest
// joints, and the solid primitives (tapered capsules and ellipsoids) that
// give each bone its flesh.
//
// Every bone's rest orientation is the identity, so a bone's rest transform
// in character space is the translation to its joint and its rest transform
// relative to its parent is the offset between the two joints. Bones are
// stored parents first; bone 0 is the single root.
#pragma once

#include <string>
#include <vector>

#include "dmath.h"

namespace keln::chargen {

struct bone_def_t {
  std::string name;  // at most 12 characters from [A-Za-z0-9_]
  int parent;        // index of the parent bone, -1 for the root
  dvec3 joint;       // rest joint position in character space
};

// One solid of the implicit surface, owned by one bone for skinning.
struct primitive_t {
  enum kind_t { capsule, ellipsoid } kind;
  int bone;
  dvec3 a, b;         // capsule: axis end points; ellipsoid: a is the centre
  double ra, rb;      // capsule: radii at a and b
  dvec3 radii;        // ellipsoid: semi-axes along its own axes
  dquat orientation;  // ellipsoid: rotation of its axes
};

class rig_t {
 public:
  // Appends a bone; parent "" makes the root. Returns the bone's index.
  // Aborts on a malformed name, an unknown parent or a second root:
  // the characters are built by code, so these are programming errors.
  int add_bone(const std::string& name, const std::string& parent, dvec3 joint);
  // Index of the named bone; aborts when there is none.
  int bone(const std::string& name) const;
  // Whether a bone of that name exists.
  bool has_bone(const std::string& name) const;

  void capsule(const std::string& bone, dvec3 a, dvec3 b, double ra, double rb);
  void ellipsoid(const std::string& bone, dvec3 centre, dvec3 radii, dquat orientation = {});
  // A capsule from the bone's joint to its child's joint.
  void limb(const std::string& bone, const std::string& child, double ra, double rb);

  // Scales every joint and primitive by s about the origin, then moves
  // them by shift.
  void transform(double s, dvec3 shift);

  // Joint offset of bone i from its parent's joint (the joint itself for
  // the root).
  dvec3 rest_offset(int i) const;

  const std::vector<bone_def_t>& bones() const { return bones_; }
  const std::vector<primitive_t>& primitives() const { return primitives_; }

 private:
  std::vector<bone_def_t> bones_;
  std::vector<primitive_t> primitives_;
};

// Builds the names of left/right pairs: side_name("arm", -1) is "arm_R"
// (the character's right side is -x, facing +z), +1 gives "arm_L".
std::string side_name(const std::string& base, int side);

}  // namespace keln::chargen
