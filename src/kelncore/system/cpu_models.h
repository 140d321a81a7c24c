// Model names of early x86 processors, from the vendor text and the family and
// model fields of CPUID leaf 1.
#pragma once

namespace keln {

// The model name for a vendor text (the 12 characters of CPUID leaf 0,
// compared in full) and the family (leaf 1 EAX bits 8-11) and model (bits 4-7)
// fields. Any combination without an entry gives "unknown". The result is a
// static text, at most 48 characters.
const char* cpu_model_name(const char* vendor, unsigned family, unsigned model);

}  // namespace keln
