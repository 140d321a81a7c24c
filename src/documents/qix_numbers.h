// Conversions of the scanner's number tokens to their values.
#pragma once

#include <cstdint>

namespace keln {

// An integer token (NUL-terminated): "0x"/"0X" means base 16, any other
// leading "0" base 8, otherwise base 10 with an optional "-". Conversion stops
// at the first character that is not a digit of the base (so "08" is 0), and
// a value outside the signed 32-bit range is clamped to the nearest limit.
std::int32_t qix_integer_value(const char* text);

// A decimal float token (NUL-terminated; a trailing "f" or "F" is ignored),
// correctly rounded to a 32-bit float. Values beyond the float range become
// infinities, values below it zeros or subnormals.
float qix_decimal_value(const char* text);

// A bit-pattern float token of length bytes: "&" and 8 hexadecimal digits
// giving the bit pattern, or "$" and 8 hexadecimal digits giving it byte-
// swapped (the bytes of a little-endian float in memory order). False when
// the text is not of that form.
bool qix_bits_value(const char* text, std::uint32_t length, float& out);

}  // namespace keln
