// The document tests run with the core started (file-system device, matrix
// routines, standard message handler), as in the programs that load documents.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "document_test_support.h"
#include "kelncore/system/startup.h"

namespace keln {

std::string read_text_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace keln

namespace {

class core_environment_t : public ::testing::Environment {
 public:
  void SetUp() override { keln::core_startup(0); }
  void TearDown() override { keln::core_shutdown(); }
};

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::AddGlobalTestEnvironment(new core_environment_t);
  return RUN_ALL_TESTS();
}
