#include "import_options.h"

#include <cmath>
#include <cstdlib>

namespace keln::qiximport {

const char* const usage_text =
    "usage: qiximport INPUT OUTDIR [--fps F] [--frames A:B] [--scale S] [--name NAME] [--animation N|all]";

namespace {

// A whole decimal number of at most 9 digits (no sign, no spaces).
bool read_count(const std::string& text, std::uint32_t& out) {
  if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos) return false;
  out = static_cast<std::uint32_t>(std::strtoul(text.c_str(), nullptr, 10));
  return true;
}

// A finite number above 0 written whole (nothing after it).
bool read_positive(const std::string& text, double& out) {
  if (text.empty()) return false;
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  if (*end != '\0' || !std::isfinite(value) || value <= 0.0) return false;
  out = value;
  return true;
}

bool read_frames(const std::string& text, import_options_t& options) {
  const std::size_t colon = text.find(':');
  if (colon == std::string::npos) return false;
  if (!read_count(text.substr(0, colon), options.first_frame) ||
      !read_count(text.substr(colon + 1), options.last_frame) || options.first_frame > options.last_frame)
    return false;
  options.has_frames = true;
  return true;
}

bool read_animation(const std::string& text, import_options_t& options) {
  if (text == "all") {
    options.animation = all_animations;
    return true;
  }
  std::uint32_t index = 0;
  if (!read_count(text, index)) return false;
  options.animation = index;
  return true;
}

// Applies option with its value; false with problem set when the value does
// not fit.
bool apply_option(const std::string& option, const std::string& value, import_options_t& options,
                  std::string& problem) {
  if (option == "--fps") {
    if (read_positive(value, options.fps)) return true;
    problem = "--fps needs a number above 0";
  } else if (option == "--frames") {
    if (read_frames(value, options)) return true;
    problem = "--frames needs A:B with whole numbers A <= B";
  } else if (option == "--scale") {
    if (read_positive(value, options.scale)) return true;
    problem = "--scale needs a number above 0";
  } else if (option == "--name") {
    options.name = value;
    if (!value.empty()) return true;
    problem = "--name needs a name";
  } else {
    if (read_animation(value, options)) return true;
    problem = "--animation needs a number or all";
  }
  return false;
}

bool is_option(const std::string& arg) {
  return arg == "--fps" || arg == "--frames" || arg == "--scale" || arg == "--name" || arg == "--animation";
}

}  // namespace

bool parse_import_options(const std::vector<std::string>& args, import_options_t& options, std::string& problem) {
  std::vector<std::string> positional;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (is_option(arg)) {
      if (i + 1 == args.size()) {
        problem = arg + " needs a value";
        return false;
      }
      if (!apply_option(arg, args[++i], options, problem)) return false;
    } else if (arg.size() > 1 && arg[0] == '-') {
      problem = "unknown option " + arg;
      return false;
    } else {
      positional.push_back(arg);
    }
  }
  if (positional.size() > 2) {
    problem = "unexpected argument " + positional[2];
    return false;
  }
  if (positional.size() < 2) {
    problem.clear();
    return false;
  }
  options.input = positional[0];
  options.outdir = positional[1];
  return true;
}

}  // namespace keln::qiximport
