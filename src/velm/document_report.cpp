#include "velm/document_report.h"

#include "kelncore/system/messages.h"

namespace keln::velm {

bool report_document_load(bool loaded, const char* path, const char* banner, const char* kind) {
  if (!loaded) {
    msg_error("error parsing %s", path);
    return false;
  }
  msg_info("%s", banner);
  msg_info("%s file: %s - parsed OK", kind, path);
  return true;
}

}  // namespace keln::velm
