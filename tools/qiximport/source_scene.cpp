#include "source_scene.h"

#include <assimp/postprocess.h>

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "finite_check.h"

namespace keln::qiximport {

namespace {

std::string lower_extension(const std::string& path) {
  std::string extension = std::filesystem::path(path).extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension;
}

// assimp's error text up to its first line end.
std::string first_line(const char* text) {
  const std::string line(text);
  return line.substr(0, line.find_first_of("\r\n"));
}

}  // namespace

bool source_scene_t::read(const std::string& path, std::string& problem) {
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(path, error);
  if (!std::filesystem::exists(status)) {
    problem = "no such file";
    return false;
  }
  if (!std::filesystem::is_regular_file(status)) {
    problem = "not a file";
    return false;
  }
  const std::string extension = lower_extension(path);
  m_framed = extension == ".bvh" || extension == ".fbx";
  m_scene = m_importer.ReadFile(path, aiProcess_Triangulate | aiProcess_GenSmoothNormals |
                                          aiProcess_ValidateDataStructure);
  if (m_scene == nullptr) {
    problem = m_importer.IsExtensionSupported(extension.c_str())
                  ? "cannot be read: " + first_line(m_importer.GetErrorString())
                  : "unknown format";
    return false;
  }
  if (m_scene->mRootNode == nullptr) {
    problem = "the scene has no nodes";
    return false;
  }
  const std::string where = find_non_finite(*m_scene);
  if (!where.empty()) {
    problem = "a value that is not a finite number in " + where;
    return false;
  }
  return true;
}

double source_scene_t::frame_rate(const aiAnimation& animation) const {
  return m_framed ? animation.mTicksPerSecond : 0.0;
}

}  // namespace keln::qiximport
