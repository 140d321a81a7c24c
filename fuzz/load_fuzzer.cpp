// libFuzzer target: parses arbitrary bytes as a document of one kind
// (VELM_FUZZ_KIND, set per target) through the loader's parse, then destroys
// everything the load created. Any crash, sanitizer report or leak is a fault
// of the document library.
#include <cstddef>
#include <cstdint>

#include "documents/qix_load.h"
#include "documents/qix_node.h"
#include "kelncore/system/startup.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  keln::core_startup(0);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > keln::QIX_MAX_DOCUMENT_SIZE) return -1;
  keln::qix_node_list_t nodes;
  keln::qix_load_text("fuzz", reinterpret_cast<const char*>(data), size, nodes, keln::VELM_FUZZ_KIND);
  keln::qix_destroy_nodes(nodes);
  return 0;
}
