#include "documents/qic.h"

#include <cstring>

namespace keln {

namespace {
const char* const g_type_names[] = {"Box", "Sphere", "Capsule"};
const std::uint32_t g_parameter_counts[] = {3, 1, 2};
constexpr std::uint32_t g_type_count = 3;
}  // namespace

std::uint32_t qic_parameter_count(std::uint32_t type) { return type < g_type_count ? g_parameter_counts[type] : 0; }

const char* qic_type_name(std::uint32_t type) { return type < g_type_count ? g_type_names[type] : nullptr; }

bool qic_type_from_name(const char* text, std::uint32_t& type) {
  for (std::uint32_t t = 0; t < g_type_count; ++t) {
    if (std::strcmp(text, g_type_names[t]) == 0) {
      type = t;
      return true;
    }
  }
  return false;
}

}  // namespace keln
