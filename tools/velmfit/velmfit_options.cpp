#include "velmfit_options.h"

#include <cstring>

#include "velm/catalog.h"

namespace keln::velmfit {

const char* const velmfit_usage =
    "usage: velmfit [--json] [--plot DIR] SKELETON.qis ANIMATION.qia...  |  velmfit [--json] [--plot DIR] --catalog";

bool parse_options(int argc, const char* const* argv, options_t& options, std::string& problem) {
  options = options_t();
  bool only_documents = false;
  for (int i = 1; i < argc; ++i) {
    const char* a = argv[i];
    if (only_documents || a[0] != '-' || a[1] == '\0') {
      options.documents.push_back(a);
    } else if (std::strcmp(a, "--") == 0) {
      only_documents = true;
    } else if (std::strcmp(a, "--json") == 0) {
      options.json = true;
    } else if (std::strcmp(a, "--catalog") == 0) {
      options.catalog = true;
    } else if (std::strcmp(a, "--help") == 0) {
      options.help = true;
    } else if (std::strcmp(a, "--plot") == 0) {
      if (i + 1 == argc || argv[i + 1][0] == '\0') {
        problem = "--plot needs a directory";
        return false;
      }
      options.plot_dir = argv[++i];
    } else {
      problem = std::string("unknown option: ") + a;
      return false;
    }
  }
  if (options.help) return true;
  if (options.catalog && !options.documents.empty()) {
    problem = "--catalog takes no documents";
    return false;
  }
  if (!options.catalog && options.documents.size() == 1) {
    problem = "no animation document after the skeleton";
    return false;
  }
  if (!options.catalog && options.documents.empty()) {
    problem = "no documents";
    return false;
  }
  return true;
}

std::vector<character_job_t> jobs_of(const options_t& options) {
  std::vector<character_job_t> jobs;
  if (options.catalog) {
    for (const velm::catalog_character_t& character : velm::catalog_characters) {
      character_job_t job{character.skeleton, {}};
      for (std::uint32_t a = 0; a < character.animation_count; ++a) {
        const velm::catalog_animation_t& animation = character.animations[a];
        job.animations.push_back({std::string(character.name) + "/" + animation.name, animation.document});
      }
      jobs.push_back(job);
    }
  } else if (!options.documents.empty()) {
    character_job_t job{options.documents.front(), {}};
    for (std::size_t i = 1; i < options.documents.size(); ++i)
      job.animations.push_back({options.documents[i], options.documents[i]});
    jobs.push_back(job);
  }
  return jobs;
}

}  // namespace keln::velmfit
