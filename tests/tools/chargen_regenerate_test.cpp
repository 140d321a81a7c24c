// The committed documents are exactly what the generator writes: running
// it again into an empty directory reproduces every file byte for byte.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

// The contents of the regular files below root, by path relative to it.
std::map<std::string, std::string> files_below(const fs::path& root, const std::string& prefix = "") {
  std::map<std::string, std::string> out;
  for (const auto& e : fs::recursive_directory_iterator(root))
    if (e.is_regular_file()) {
      std::stringstream text;
      text << std::ifstream(e.path(), std::ios::binary).rdbuf();
      out[prefix + fs::relative(e.path(), root).generic_string()] = text.str();
    }
  return out;
}

TEST(chargen_regenerate, output_is_byte_identical_to_the_committed_documents) {
  const fs::path out = fs::temp_directory_path() / ("chargen_regenerate_" + std::to_string(::getpid()));
  fs::remove_all(out);
  fs::create_directories(out);
  const std::string command = std::string("\"") + CHARGEN_PROGRAM + "\" \"" + out.string() + "\" > /dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);
  const std::map<std::string, std::string> written = files_below(out);
  std::map<std::string, std::string> committed;
  for (const char* dir : {"hunter", "horse", "elephant"})
    committed.merge(files_below(fs::path(CHARGEN_DATA_DIR) / dir, std::string(dir) + "/"));
  EXPECT_EQ(written.size(), 20u);
  ASSERT_EQ(written.size(), committed.size());
  for (const auto& [path, contents] : written) EXPECT_TRUE(committed[path] == contents) << path << " differs";
  fs::remove_all(out);
}

}  // namespace
