// The command line of qiximport: INPUT OUTDIR [options].
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace keln::qiximport {

// Every animation of the source (--animation all, the default).
constexpr std::int64_t all_animations = -1;

struct import_options_t {
  std::string input;   // the scene file
  std::string outdir;  // created when missing
  double fps = 0.0;    // keys per second; 0: the source's frame rate, else 30
  bool has_frames = false;
  std::uint32_t first_frame = 0;  // with has_frames: keys first..last of the resampled clip, both included
  std::uint32_t last_frame = 0;
  double scale = 1.0;  // factor on every length (0.01 turns centimetres into metres)
  std::string name;    // the character's document name; empty: the input's file name without extension
  std::int64_t animation = all_animations;  // index of the one animation to import
};

// The usage line, printed after a usage error.
extern const char* const usage_text;

// Reads args (the arguments after the program name) into options. False with
// problem set (one line, without the program name) for a usage error; an
// empty problem means only the usage line is due (too few arguments).
bool parse_import_options(const std::vector<std::string>& args, import_options_t& options, std::string& problem);

}  // namespace keln::qiximport
