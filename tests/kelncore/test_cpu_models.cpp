#include <gtest/gtest.h>

#include "kelncore/system/cpu_models.h"

namespace keln {
namespace {

struct model_case_t {
  const char* vendor;
  unsigned family;
  unsigned model;
  const char* name;
};

class cpu_model_name_test : public ::testing::TestWithParam<model_case_t> {};

TEST_P(cpu_model_name_test, names_the_model) {
  const model_case_t& c = GetParam();
  EXPECT_STREQ(cpu_model_name(c.vendor, c.family, c.model), c.name);
}

INSTANTIATE_TEST_SUITE_P(
    table, cpu_model_name_test,
    ::testing::Values(model_case_t{"GenuineIntel", 3, 0, "386"}, model_case_t{"GenuineIntel", 4, 8, "486"},
                      model_case_t{"GenuineIntel", 5, 2, "Pentium"}, model_case_t{"GenuineIntel", 6, 1, "Pentium Pro"},
                      model_case_t{"GenuineIntel", 6, 3, "Pentium II (Klamath)"},
                      model_case_t{"GenuineIntel", 6, 5, "Pentium II (Deschutes)"},
                      model_case_t{"GenuineIntel", 6, 6, "Celeron A (Mendocino)"},
                      model_case_t{"GenuineIntel", 6, 7, "Pentium III (Katmai)"},
                      model_case_t{"GenuineIntel", 6, 8, "Pentium III (Coppermine)"},
                      model_case_t{"GenuineIntel", 6, 10, "Pentium III Xeon (Cascades)"},
                      model_case_t{"GenuineIntel", 15, 0, "Pentium IV (Willamette)"},
                      model_case_t{"GenuineIntel", 15, 2, "Pentium IV (Willamette)"},
                      model_case_t{"AuthenticAMD", 3, 5, "386"}, model_case_t{"AuthenticAMD", 4, 0, "486"},
                      model_case_t{"AuthenticAMD", 5, 6, "K6"}, model_case_t{"AuthenticAMD", 5, 7, "K6"},
                      model_case_t{"AuthenticAMD", 5, 8, "K6-2"}, model_case_t{"AuthenticAMD", 5, 9, "K6-3"},
                      model_case_t{"AuthenticAMD", 5, 13, "K6-2+/K6-3+"},
                      model_case_t{"AuthenticAMD", 6, 4, "Athlon/Duron"}, model_case_t{"CyrixInstead", 5, 2, "Cx6x86"},
                      model_case_t{"CyrixInstead", 5, 4, "CxGXm"}, model_case_t{"CyrixInstead", 6, 0, "Cx6x86MX, MII"},
                      model_case_t{"CyrixInstead", 6, 5, "VIA Cyrix III (Joshua)"},
                      model_case_t{"CentaurHauls", 5, 4, "IDT C6 (WinChip)"},
                      model_case_t{"CentaurHauls", 5, 8, "IDT C6-2 (WinChip2)"},
                      model_case_t{"CentaurHauls", 5, 9, "IDT C6-3 (WinChip3)"},
                      model_case_t{"CentaurHauls", 6, 6, "VIA Cyrix III (Samuel)"},
                      model_case_t{"GenuineTMx86", 5, 4, "Transmeta Crusoe x86"}));

INSTANTIATE_TEST_SUITE_P(
    unknown, cpu_model_name_test,
    ::testing::Values(model_case_t{"GenuineIntel", 6, 9, "unknown"}, model_case_t{"GenuineIntel", 7, 0, "unknown"},
                      model_case_t{"GenuineIntel", 6, 0, "unknown"}, model_case_t{"AuthenticAMD", 5, 10, "unknown"},
                      model_case_t{"AuthenticAMD", 15, 1, "unknown"}, model_case_t{"CyrixInstead", 5, 0, "unknown"},
                      model_case_t{"GenuineTMx86", 6, 0, "unknown"},
                      // The vendor text is compared in full, terminator included.
                      model_case_t{"GenuineIntelX", 5, 0, "unknown"}, model_case_t{"GenuineInte", 5, 0, "unknown"},
                      model_case_t{"genuineintel", 5, 0, "unknown"}, model_case_t{"", 5, 0, "unknown"}));

}  // namespace
}  // namespace keln
