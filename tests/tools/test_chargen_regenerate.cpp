// The committed documents are exactly what the generator writes: running
// it again into an empty directory reproduces every file byte for byte.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string contents(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Paths of the regular files below root, relative to it.
std::set<std::string> files_below(const fs::path& root) {
  std::set<std::string> out;
  for (const auto& e : fs::recursive_directory_iterator(root))
    if (e.is_regular_file()) out.insert(fs::relative(e.path(), root).generic_string());
  return out;
}

TEST(chargen_regenerate, output_is_byte_identical_to_the_committed_documents) {
  fs::path out = fs::temp_directory_path() / ("chargen_regenerate_" + std::to_string(::getpid()));
  fs::remove_all(out);
  fs::create_directories(out);
  std::string command = std::string("\"") + CHARGEN_PROGRAM + "\" \"" + out.string() + "\" > /dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);

  fs::path data = CHARGEN_DATA_DIR;
  std::set<std::string> written = files_below(out);
  std::set<std::string> committed;
  for (const char* dir : {"hunter", "horse", "elephant"})
    for (const std::string& f : files_below(data / dir)) committed.insert(std::string(dir) + "/" + f);
  EXPECT_EQ(written, committed);
  EXPECT_EQ(written.size(), 20u);
  for (const std::string& f : written)
    EXPECT_TRUE(contents(out / f) == contents(data / f)) << f << " differs";
  fs::remove_all(out);
}

}  // namespace
