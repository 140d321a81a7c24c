// Shared helpers of the document tests: a message log and parsing from text.
#pragma once

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "documents/qix_load.h"
#include "kelncore/system/messages.h"

namespace keln {

// Records every message while it exists, each line as the standard handler
// prints it (with the level prefix, without the line end).
class message_log_t : public message_handler_t {
 public:
  void handle(const string& text, message_level_t level) override {
    const char* prefix = level == ML_ERROR ? "*** ERROR *** : " : level == ML_WARNING ? "*** WARNING *** : " : "";
    lines.push_back(std::string(prefix) + text.text);
  }
  std::vector<std::string> lines;
};

// Parses text as a document of kind named "test.doc"; the node list keeps
// every node and is destroyed with the object.
struct parsed_text_t {
  parsed_text_t(const std::string& text, qix_kind_t kind)
      : loaded(qix_load_text("test.doc", text.data(), text.size(), nodes, kind)), root(qix_loaded_root(kind)) {}
  ~parsed_text_t() { qix_destroy_nodes(nodes); }
  parsed_text_t(const parsed_text_t&) = delete;
  parsed_text_t& operator=(const parsed_text_t&) = delete;

  qix_node_list_t nodes;
  bool loaded;
  qix_node_t* root;
};

inline std::uint32_t bits_of(float value) {
  std::uint32_t bits;
  std::memcpy(&bits, &value, sizeof(bits));
  return bits;
}

// Reads a whole file of the source tree (relative to the test directory).
inline std::string read_text_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace keln
