// Error reporting of the parser and the item-order checks it calls while it
// fills streams, skin streams and bone lists.
#pragma once

#include <cstdint>

#include "documents/qix_format.h"

namespace keln {

// Reports "%s:%d: %s [ token '%s' ]" at error level: the scanner's file name
// and line, the message, and the text of the token the scanner returned last
// (empty at the end of input). Every parser message goes through it.
void qix_parse_error(const char* message);

// An item of the current stream: the expected item number advances by one in
// every case. Reports "inconsistent Stream item order" when number is not the
// expected one, "inconsistent Stream item type/count" when the stream refuses
// the item; false after a report.
bool qix_check_stream_item(std::int32_t number, const qix_value_t& value);

// The same for the current skin stream, with "inconsistent SkinStream item
// order" and "inconsistent SkinStream item type/count".
bool qix_check_skin_item(std::int32_t number, const qix_value_t& value);

// A bone of the current bone list: reports "grammar code error" when there is
// no bone list and "inconsistent Skeleton bone order" when number is not the
// next bone number (which advances in every case); otherwise adds the bone
// (matrix: 16 floats row by row) and returns true.
bool qix_check_bone(std::int32_t number, const char* name, const char* parent, const float matrix[16]);

}  // namespace keln
