#include "name_limits.h"

#include <cctype>

#include "velm/bone_name_token.h"

namespace keln::qiximport {

namespace {

bool is_word_character(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

std::string lower_case(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// source with every character that keep rejects turned into _, then
// fallback when empty, then cut to max_length.
template <typename Keep>
std::string cleaned(const std::string& source, const std::string& fallback, std::size_t max_length, Keep keep) {
  std::string name = source.empty() ? fallback : source;
  for (char& c : name)
    if (!keep(c)) c = '_';
  return name.substr(0, max_length);
}

}  // namespace

std::string name_registry_t::unique(std::string name, std::size_t max_length) {
  const std::string base = name;
  for (unsigned n = 2; m_taken.count(lower_case(name)) != 0; ++n) {
    const std::string suffix = "_" + std::to_string(n);
    name = base.substr(0, max_length - suffix.size()) + suffix;
  }
  m_taken.insert(lower_case(name));
  return name;
}

std::string name_registry_t::bone_name(const std::string& source) {
  return unique(cleaned(source, "bone", velm::bone_name_max_length, is_word_character), velm::bone_name_max_length);
}

std::string name_registry_t::file_name(const std::string& source, const std::string& fallback) {
  const auto keep = [](char c) { return is_word_character(c) || c == '-'; };
  return unique(cleaned(source, fallback, file_name_max_length, keep), file_name_max_length);
}

}  // namespace keln::qiximport
