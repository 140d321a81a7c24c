#include "documents/qis.h"

#include <cstdint>
#include <cstring>

#include "kelncore/math/mat4_routines.h"

namespace keln {

void qis_bones_t::add_bone(const char* name, const char* parent, const float matrix[16]) {
  qis_bone_t bone;
  bone.name = name;
  bone.parent = parent;
  std::memcpy(bone.matrix.m, matrix, sizeof(bone.matrix.m));
  mat4_inverse(bone.inverse, bone.matrix);
  bone_list.push_back(bone);
  const std::uintptr_t index_plus_one = bone_list.size();
  name_index.set(bone.name.text, bone.name.length(), reinterpret_cast<void*>(index_plus_one));
}

std::int32_t qis_bones_t::find_bone(const char* name, bool& found) const {
  found = true;
  const std::uint32_t length = static_cast<std::uint32_t>(std::strlen(name));
  if (length == 0) return -1;
  const std::uintptr_t value = reinterpret_cast<std::uintptr_t>(name_index.get(name, length));
  if (value) return static_cast<std::int32_t>(value - 1);
  found = false;
  return -1;
}

}  // namespace keln
