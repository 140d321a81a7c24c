// The imported character as documents, built in the document model and
// written by the document writer: the skeleton (.qis), the skin mesh (.qim)
// and one animation (.qia) per clip.
#pragma once

#include <string>

#include "import_animation.h"
#include "import_mesh.h"
#include "import_skeleton.h"

namespace keln::qiximport {

// Each writes the document to path; name is the character's name, written
// in the headers and as the skeleton the other documents belong to (the
// clip's header carries clip_name). False with problem set when the
// document cannot be built or the file cannot be written.
bool write_skeleton_document(const import_skeleton_t& skeleton, const std::string& name, const std::string& path,
                             std::string& problem);
bool write_mesh_document(const import_mesh_t& mesh, const import_skeleton_t& skeleton, const std::string& name,
                         const std::string& path, std::string& problem);
bool write_clip_document(const import_clip_t& clip, const import_skeleton_t& skeleton, const std::string& name,
                         const std::string& clip_name, const std::string& path, std::string& problem);

}  // namespace keln::qiximport
