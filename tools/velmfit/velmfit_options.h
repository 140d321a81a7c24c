#pragma once
// The command line of velmfit and the work it names.
//
//   velmfit [--json] [--plot DIR] SKELETON.qis ANIMATION.qia...
//   velmfit [--json] [--plot DIR] --catalog
//   velmfit --help
//
// Options may stand anywhere before "--"; every other argument is a document
// path (the first the skeleton), and so is everything after "--".

#include <string>
#include <vector>

namespace keln::velmfit {

extern const char* const velmfit_usage;  // one line, without line end

struct options_t {
  bool json = false;     // the figures as JSON instead of the table
  bool catalog = false;  // the viewer's catalog instead of named documents
  bool help = false;
  std::string plot_dir;                // empty: no plots
  std::vector<std::string> documents;  // the skeleton, then the animations
};

// False on a usage error, with its reason in problem: an unknown option,
// --plot without a directory, --catalog together with documents, a
// skeleton without animations, nothing to do.
bool parse_options(int argc, const char* const* argv, options_t& options, std::string& problem);

struct animation_job_t {
  std::string name;  // in the table: the catalog's "CHARACTER/ANIMATION", or the path as given
  std::string document;
};

struct character_job_t {
  std::string skeleton;
  std::vector<animation_job_t> animations;
};

// The characters and animations to measure: one job per catalog character
// (in catalog order), or one job with the named documents.
std::vector<character_job_t> jobs_of(const options_t& options);

}  // namespace keln::velmfit
