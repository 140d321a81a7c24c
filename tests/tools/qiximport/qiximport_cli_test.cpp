// The program's exit codes: 2 with the usage (after the problem, if any) for
// a bad command line, 1 for input that cannot be converted.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace {

const std::string usage =
    "usage: qiximport INPUT OUTDIR [--fps F] [--frames A:B] [--scale S] [--name NAME] [--animation N|all]\n";

TEST(qiximport_cli, exit_codes_and_usage) {
  const std::string errors_file = ::testing::TempDir() + "qiximport_cli_errors.txt";
  const std::pair<const char*, std::pair<int, std::string>> cases[] = {
      {"", {2, usage}},
      {"in.gltf out --scale 0", {2, "qiximport: --scale needs a number above 0\n" + usage}},
      {"/nonexistent/none.bvh out", {1, "qiximport: /nonexistent/none.bvh: no such file\n"}},
  };
  for (const auto& [args, expected] : cases) {
    const std::string command = std::string("'") + QIXIMPORT_PROGRAM + "' " + args + " >/dev/null 2>" + errors_file;
    const int status = std::system(command.c_str());
    std::ifstream in(errors_file, std::ios::binary);
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, expected.first) << args;
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), expected.second);
  }
}

}  // namespace
