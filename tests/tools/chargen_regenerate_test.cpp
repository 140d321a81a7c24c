// The committed documents are exactly what the generator writes: running
// it again into an empty directory reproduces every file byte for byte, and
// it reports each character it wrote (or its usage, exit status 2).
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string file_text(const fs::path& path) {
  std::stringstream text;
  text << std::ifstream(path, std::ios::binary).rdbuf();
  return text.str();
}

// The contents of the regular files below root, by path relative to it.
std::map<std::string, std::string> files_below(const fs::path& root, const std::string& prefix = "") {
  std::map<std::string, std::string> out;
  for (const auto& e : fs::recursive_directory_iterator(root))
    if (e.is_regular_file()) out[prefix + fs::relative(e.path(), root).generic_string()] = file_text(e.path());
  return out;
}

TEST(chargen_regenerate, output_is_byte_identical_to_the_committed_documents) {
  const fs::path out = fs::temp_directory_path() / ("chargen_regenerate_" + std::to_string(::getpid()));
  fs::remove_all(out);
  fs::create_directories(out);
  const fs::path report = out.string() + ".txt";
  const std::string program = std::string("\"") + CHARGEN_PROGRAM + "\"";
  EXPECT_EQ(WEXITSTATUS(std::system((program + " 2>\"" + report.string() + "\"").c_str())), 2);
  EXPECT_EQ(file_text(report), "usage: chargen <data directory> [--preview <picture directory>]\n");
  ASSERT_EQ(std::system((program + " \"" + out.string() + "\" >\"" + report.string() + "\"").c_str()), 0);
  EXPECT_EQ(file_text(report),
            "hunter: 23 bones, 9000 vertices, 17996 triangles, volume -0.0155376\n"
            "horse: 32 bones, 10000 vertices, 19996 triangles, volume -0.0324513\n"
            "elephant: 32 bones, 10000 vertices, 19996 triangles, volume -0.1126\n");
  fs::remove(report);
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
