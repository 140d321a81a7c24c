// qiximport: turns a scene that assimp reads (BVH, glTF 2.0, FBX, COLLADA,
// ...) into a character's documents and checks them; see import_options.h
// for the command line and import_run.h for what it does.
//
// Exit status: 0 done, 1 input that cannot be converted, 2 usage error.
#include <cstdio>
#include <string>
#include <vector>

#include "import_options.h"
#include "import_run.h"
#include "kelncore/system/startup.h"

int main(int argc, char** argv) {
  using namespace keln::qiximport;
  import_options_t options;
  std::string problem;
  if (!parse_import_options(std::vector<std::string>(argv + 1, argv + argc), options, problem)) {
    if (!problem.empty()) std::fprintf(stderr, "qiximport: %s\n", problem.c_str());
    std::fprintf(stderr, "%s\n", usage_text);
    return exit_usage;
  }
  keln::core_startup(1);
  const int result = run_import(options, stdout, stderr);
  keln::core_shutdown();
  return result;
}
