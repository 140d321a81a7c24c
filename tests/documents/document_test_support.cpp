#include "document_test_support.h"

#include <fstream>
#include <sstream>

namespace keln {

std::string read_text_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace keln
