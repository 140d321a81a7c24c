// Turns a built character into documents (skeleton, geometry, one
// animation per clip) through the document model and the document writer.
#pragma once

#include <string>

#include "character.h"

namespace keln::chargen {

// Writes <data_dir>/<directory>/<stem>.qis, <stem>.qim and <clip>.qia for
// every clip; the directory must exist. Reports the first document that
// cannot be built or written on stderr and returns false.
bool write_documents(const character_t& c, const std::string& data_dir);

}  // namespace keln::chargen
