#include "import_test_support.h"

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "import_options.h"
#include "import_run.h"
#include "kelncore/collections/arrays/arrays_dyn.h"

namespace keln::qiximport::testing {

void import_test_t::SetUp() {
  char pattern[] = "/tmp/qiximport_test_XXXXXX";
  ASSERT_NE(::mkdtemp(pattern), nullptr);
  folder = pattern;
}

void import_test_t::TearDown() { std::filesystem::remove_all(folder); }

int import_test_t::import(const std::vector<std::string>& args) {
  import_options_t options;
  std::string problem;
  if (!parse_import_options(args, options, problem)) return exit_usage;
  std::FILE* out = std::fopen("/dev/null", "w");
  std::FILE* error_stream = std::tmpfile();
  const int code = run_import(options, out, error_stream);
  std::fclose(out);
  std::rewind(error_stream);
  errors.clear();
  for (int c; (c = std::fgetc(error_stream)) != EOF;) errors += static_cast<char>(c);
  std::fclose(error_stream);
  return code;
}

std::uint32_t loaded_clip_t::bone(const char* name) const {
  const std::uint64_t token = velm::bone_name_token_of(name);
  for (std::uint32_t b = 0; b < instance.bone_count(); ++b)
    if (instance.skeleton()[b].name == token) return b;
  return velm::no_bone;
}

std::vector<vec3_t> loaded_clip_t::joints(std::uint32_t k) {
  array_dyn_t<mat4_t> matrices;
  matrices.resize(instance.bone_count());
  for (const velm::bone_channel_t& channel : motion->channels) channel[k].to_matrix(matrices[channel.bone]);
  instance.concatenate_hierarchy(matrices);
  std::vector<vec3_t> joints;
  for (const mat4_t& m : matrices) joints.push_back(vec3_t{{m.m[3], m.m[7], m.m[11]}});
  return joints;
}

}  // namespace keln::qiximport::testing
