#include "documents/qix_checks.h"

#include "documents/qix_context.h"
#include "documents/qix_scanner.h"
#include "kelncore/system/messages.h"

namespace keln {

void qix_parse_error(const char* message) {
  msg_error("%s:%d: %s [ token '%.*s' ]", qix_scan_file_name(), static_cast<int>(qix_scan_line()), message,
            static_cast<int>(qix_scan_token_length()), qix_scan_token_text());
}

namespace {

// Common body of the two item checks.
bool check_item(qix_stream_t* stream, std::uint32_t& expected, std::int32_t number, const qix_value_t& value,
                const char* order_message, const char* type_message) {
  const std::uint32_t wanted = expected++;
  if (static_cast<std::uint32_t>(number) != wanted) {
    qix_parse_error(order_message);
    return false;
  }
  if (!stream->add_item(value.data, value.size)) {
    qix_parse_error(type_message);
    return false;
  }
  return true;
}

}  // namespace

bool qix_check_stream_item(std::int32_t number, const qix_value_t& value) {
  return check_item(g_qix_context.stream, g_qix_context.expected_item, number, value,
                    "inconsistent Stream item order", "inconsistent Stream item type/count");
}

bool qix_check_skin_item(std::int32_t number, const qix_value_t& value) {
  return check_item(g_qix_context.skinstream, g_qix_context.expected_skin_item, number, value,
                    "inconsistent SkinStream item order", "inconsistent SkinStream item type/count");
}

bool qix_check_bone(std::int32_t number, const char* name, const char* parent, const float matrix[16]) {
  if (!g_qix_context.bones) {
    qix_parse_error("grammar code error");
    return false;
  }
  const std::uint32_t wanted = g_qix_context.expected_bone++;
  if (static_cast<std::uint32_t>(number) != wanted) {
    qix_parse_error("inconsistent Skeleton bone order");
    return false;
  }
  g_qix_context.bones->add_bone(name, parent, matrix);
  return true;
}

}  // namespace keln
