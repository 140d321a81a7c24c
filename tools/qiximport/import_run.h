// One whole import: read the scene, choose the skeleton, resample the
// animations, gather the mesh, write the documents, then load them back and
// compare their joints with the source's.
#pragma once

#include <cstdio>

#include "import_options.h"

namespace keln::qiximport {

constexpr int exit_done = 0;
constexpr int exit_unconvertible = 1;
constexpr int exit_usage = 2;

// Runs the import that options describe, reporting progress on out and
// warnings and the one line of a failure ("qiximport: FILE: problem") on
// errors; the animation library's loaders add their own lines through the
// core's messages. Needs the core started. Returns exit_done or
// exit_unconvertible.
int run_import(const import_options_t& options, std::FILE* out, std::FILE* errors);

}  // namespace keln::qiximport
