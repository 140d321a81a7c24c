// libFuzzer target: parses arbitrary bytes as a document of one kind
// (VELM_FUZZ_KIND); one that loads and that the writer takes must load again
// from the written text and write back the same text. Any crash, sanitizer
// report, leak or broken round trip is a fault of the document library.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "documents/qix_load.h"
#include "documents/qix_node.h"
#include "documents/qix_writer.h"
#include "kelncore/system/startup.h"

namespace {

using namespace keln;

constexpr qix_kind_t k_kind = VELM_FUZZ_KIND;

bool write_loaded(qix_buffer_out_t& out) { return qix_write(*qix_loaded_root(k_kind), k_kind, out); }

[[noreturn]] void round_trip_failed(const char* what) {
  std::fprintf(stderr, "round trip: %s\n", what);
  std::abort();
}

// The written text of a loaded document loads again and writes back the same.
void check_round_trip() {
  qix_buffer_out_t first;
  if (!write_loaded(first)) return;
  qix_node_list_t nodes;
  if (!qix_load_text("written", first.text.data(), first.text.size(), nodes, k_kind))
    round_trip_failed("the written text does not load");
  qix_buffer_out_t second;
  if (!write_loaded(second)) round_trip_failed("the reloaded document cannot be written");
  if (second.text.size() != first.text.size() ||
      std::memcmp(second.text.data(), first.text.data(), first.text.size()) != 0)
    round_trip_failed("the reloaded document writes different text");
  qix_destroy_nodes(nodes);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  core_startup(0);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > QIX_MAX_DOCUMENT_SIZE) return -1;
  qix_node_list_t nodes;
  if (qix_load_text("fuzz", reinterpret_cast<const char*>(data), size, nodes, k_kind)) check_round_trip();
  qix_destroy_nodes(nodes);
  return 0;
}
