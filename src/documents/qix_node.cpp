#include "documents/qix_node.h"

#include "documents/qix_stream.h"

namespace keln {

void qix_destroy_nodes(qix_node_list_t& nodes) {
  for (qix_node_t* node : nodes) delete node;
  nodes.clear();
}

qix_stream_t* qix_streamholder_t::find_stream(const char* tag) const {
  for (qix_stream_t* stream : streams)
    if (stream->tag == tag) return stream;
  return nullptr;
}

}  // namespace keln
