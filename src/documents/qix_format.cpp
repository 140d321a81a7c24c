#include "documents/qix_format.h"

namespace keln {

std::uint32_t qix_format_size(std::uint32_t format) {
  static const std::uint32_t sizes[] = {4, 8, 12, 16, 20, 24, 64, 4, 12, 64, 16, 4, 0};
  return format < sizeof(sizes) / sizeof(sizes[0]) ? sizes[format] : 0;
}

std::uint32_t qix_format_floats(std::uint32_t format) {
  switch (format) {
    case QIX_FORMAT_FLOAT:
    case QIX_FORMAT_FLOAT2:
    case QIX_FORMAT_FLOAT3:
    case QIX_FORMAT_FLOAT4:
    case QIX_FORMAT_FLOAT5:
    case QIX_FORMAT_FLOAT6:
      return format + 1;
    case QIX_FORMAT_FLOAT4X4:
      return 16;
    case QIX_FORMAT_QUATERNION:
      return 4;
    default:
      return 0;
  }
}

}  // namespace keln
