#include "kelncore/system/cpu_models.h"

#include <cstring>

namespace keln {

namespace {

// One row of the name table; model ANY_MODEL matches every model of the
// family.
struct model_row_t {
  const char* vendor;
  unsigned family;
  unsigned model;
  const char* name;
};

constexpr unsigned ANY_MODEL = ~0u;

constexpr model_row_t MODEL_ROWS[] = {
    {"GenuineIntel", 3, ANY_MODEL, "386"},
    {"GenuineIntel", 4, ANY_MODEL, "486"},
    {"GenuineIntel", 5, ANY_MODEL, "Pentium"},
    {"GenuineIntel", 6, 1, "Pentium Pro"},
    {"GenuineIntel", 6, 3, "Pentium II (Klamath)"},
    {"GenuineIntel", 6, 5, "Pentium II (Deschutes)"},
    {"GenuineIntel", 6, 6, "Celeron A (Mendocino)"},
    {"GenuineIntel", 6, 7, "Pentium III (Katmai)"},
    {"GenuineIntel", 6, 8, "Pentium III (Coppermine)"},
    {"GenuineIntel", 6, 10, "Pentium III Xeon (Cascades)"},
    {"GenuineIntel", 15, ANY_MODEL, "Pentium IV (Willamette)"},
    {"AuthenticAMD", 3, ANY_MODEL, "386"},
    {"AuthenticAMD", 4, ANY_MODEL, "486"},
    {"AuthenticAMD", 5, 6, "K6"},
    {"AuthenticAMD", 5, 7, "K6"},
    {"AuthenticAMD", 5, 8, "K6-2"},
    {"AuthenticAMD", 5, 9, "K6-3"},
    {"AuthenticAMD", 5, 13, "K6-2+/K6-3+"},
    {"AuthenticAMD", 6, ANY_MODEL, "Athlon/Duron"},
    {"CyrixInstead", 5, 2, "Cx6x86"},
    {"CyrixInstead", 5, 4, "CxGXm"},
    {"CyrixInstead", 6, 0, "Cx6x86MX, MII"},
    {"CyrixInstead", 6, 5, "VIA Cyrix III (Joshua)"},
    {"CentaurHauls", 5, 4, "IDT C6 (WinChip)"},
    {"CentaurHauls", 5, 8, "IDT C6-2 (WinChip2)"},
    {"CentaurHauls", 5, 9, "IDT C6-3 (WinChip3)"},
    {"CentaurHauls", 6, 6, "VIA Cyrix III (Samuel)"},
    {"GenuineTMx86", 5, ANY_MODEL, "Transmeta Crusoe x86"},
};

}  // namespace

const char* cpu_model_name(const char* vendor, unsigned family, unsigned model) {
  for (const model_row_t& row : MODEL_ROWS) {
    if (row.family == family && (row.model == ANY_MODEL || row.model == model) &&
        std::strcmp(row.vendor, vendor) == 0) {
      return row.name;
    }
  }
  return "unknown";
}

}  // namespace keln
