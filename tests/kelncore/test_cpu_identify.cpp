#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "kelncore/system/cpu.h"
#include "kelncore/system/cpu_identify.h"
#include "kelncore/system/messages.h"

namespace keln {
namespace {

// A described processor: its CPUID leaves and what its operating system runs.
// The probe functions read the one being tested and log what they were asked.
struct fake_cpu_t {
  bool has_cpuid = true;
  std::map<std::uint32_t, cpu_regs_t> leaves;
  std::uint32_t os_runs = CPU_FEAT_MMX | CPU_FEAT_SSE | CPU_FEAT_SSE2;
  std::vector<std::string> calls;
};

fake_cpu_t* fake = nullptr;

const cpu_probe_t FAKE_PROBE = {
    [] { return fake->has_cpuid; },
    [](std::uint32_t leaf) {
      const auto found = fake->leaves.find(leaf);
      return found == fake->leaves.end() ? cpu_regs_t{0, 0, 0, 0} : found->second;
    },
    [](std::uint32_t feature) {
      fake->calls.push_back("os " + std::to_string(feature));
      return (fake->os_runs & feature) != 0;
    },
    [] { fake->calls.push_back("flush-to-zero"); },
    []() -> std::uint32_t {
      fake->calls.push_back("measure");
      return 733;
    },
};

// Leaf 0 with the highest basic leaf and the vendor text in EBX, EDX, ECX.
cpu_regs_t vendor_leaf(std::uint32_t highest, const char (&vendor)[13]) {
  cpu_regs_t r = {highest, 0, 0, 0};
  std::memcpy(&r.ebx, vendor, 4);
  std::memcpy(&r.edx, vendor + 4, 4);
  std::memcpy(&r.ecx, vendor + 8, 4);
  return r;
}

cpu_regs_t signature_leaf(unsigned family, unsigned model, std::uint32_t edx) {
  return {(family << 8) | (model << 4) | 0x3u, 0, 0, edx};
}

constexpr std::uint32_t EDX_FPU = 1u << 0, EDX_TSC = 1u << 4, EDX_CMOV = 1u << 15, EDX_MMX = 1u << 23,
                        EDX_SSE = 1u << 25, EDX_SSE2 = 1u << 26;
constexpr std::uint32_t EXT_MMX_EXT = 1u << 22, EXT_3DNOW_EXT = 1u << 30, EXT_3DNOW = 1u << 31;

struct recording_handler_t : message_handler_t {
  void handle(const string& text, message_level_t level) override {
    lines.push_back(std::to_string(level) + ":" + text.c_str());
  }
  std::vector<std::string> lines;
};

class cpu_identify_test : public ::testing::Test {
 protected:
  void SetUp() override { fake = &cpu; }
  void TearDown() override { fake = nullptr; }
  cpu_identity_t identify() { return cpu_identify(FAKE_PROBE); }

  fake_cpu_t cpu;
  recording_handler_t messages;
};

TEST_F(cpu_identify_test, without_cpuid_warns_and_reports_no_time_stamp_counter) {
  cpu.has_cpuid = false;
  const cpu_identity_t id = identify();
  EXPECT_EQ(id.features, 0u);
  EXPECT_STREQ(id.vendor, "");
  EXPECT_STREQ(id.name, "");
  EXPECT_EQ(id.mhz, 1u);
  EXPECT_EQ(messages.lines,
            (std::vector<std::string>{"1:unable to identify cpu", "3:[cpu] The CPU has no RDTSC support."}));
  EXPECT_TRUE(cpu.calls.empty());
}

TEST_F(cpu_identify_test, without_basic_leaves_keeps_only_the_cpuid_bit) {
  cpu.leaves[0] = vendor_leaf(0, "GenuineIntel");
  cpu.leaves[1] = signature_leaf(6, 7, EDX_FPU | EDX_TSC | EDX_SSE);
  const cpu_identity_t id = identify();
  EXPECT_EQ(id.features, CPU_FEAT_CPUID);
  EXPECT_STREQ(id.vendor, "GenuineIntel");
  EXPECT_STREQ(id.name, "");
  EXPECT_EQ(id.mhz, 1u);
  EXPECT_EQ(messages.lines,
            (std::vector<std::string>{"1:cpu features not detected", "3:[cpu] The CPU has no RDTSC support."}));
}

TEST_F(cpu_identify_test, reads_the_basic_features_tests_the_sets_in_order_and_measures) {
  cpu.leaves[0] = vendor_leaf(2, "GenuineIntel");
  cpu.leaves[1] = signature_leaf(6, 7, EDX_FPU | EDX_TSC | EDX_CMOV | EDX_MMX | EDX_SSE | EDX_SSE2);
  const cpu_identity_t id = identify();
  EXPECT_EQ(id.features, CPU_FEAT_CPUID | CPU_FEAT_FPU | CPU_FEAT_MMX | CPU_FEAT_CMOV | CPU_FEAT_SSE | CPU_FEAT_SSE2);
  EXPECT_TRUE(id.has_tsc);
  EXPECT_EQ(id.mhz, 733u);
  EXPECT_STREQ(id.name, "Pentium III (Katmai)");
  EXPECT_EQ(cpu.calls, (std::vector<std::string>{"os 4", "os 64", "flush-to-zero", "os 128", "measure"}));
  EXPECT_TRUE(messages.lines.empty());
}

TEST_F(cpu_identify_test, sets_the_operating_system_does_not_run_are_left_out) {
  cpu.leaves[0] = vendor_leaf(1, "GenuineIntel");
  cpu.leaves[1] = signature_leaf(15, 1, EDX_FPU | EDX_TSC | EDX_MMX | EDX_SSE | EDX_SSE2);
  cpu.os_runs = CPU_FEAT_MMX;
  const cpu_identity_t id = identify();
  EXPECT_EQ(id.features, CPU_FEAT_CPUID | CPU_FEAT_FPU | CPU_FEAT_MMX);
  // No flush-to-zero without SSE, and no message.
  EXPECT_EQ(cpu.calls, (std::vector<std::string>{"os 4", "os 64", "os 128", "measure"}));
  EXPECT_TRUE(messages.lines.empty());
  EXPECT_STREQ(id.name, "Pentium IV (Willamette)");
}

TEST_F(cpu_identify_test, sets_the_processor_does_not_report_are_not_tested) {
  cpu.leaves[0] = vendor_leaf(1, "AuthenticAMD");
  cpu.leaves[1] = signature_leaf(5, 8, EDX_FPU | EDX_TSC);
  const cpu_identity_t id = identify();
  EXPECT_EQ(id.features, CPU_FEAT_CPUID | CPU_FEAT_FPU);
  EXPECT_EQ(cpu.calls, (std::vector<std::string>{"measure"}));
  EXPECT_STREQ(id.name, "K6-2");
}

TEST_F(cpu_identify_test, extended_features_need_mmx) {
  cpu.leaves[0] = vendor_leaf(1, "AuthenticAMD");
  cpu.leaves[0x80000000u] = {0x80000001u, 0, 0, 0};
  cpu.leaves[0x80000001u] = {0, 0, 0, EXT_3DNOW | EXT_3DNOW_EXT | EXT_MMX_EXT};

  cpu.leaves[1] = signature_leaf(6, 2, EDX_FPU | EDX_TSC | EDX_MMX);
  EXPECT_EQ(identify().features,
            CPU_FEAT_CPUID | CPU_FEAT_FPU | CPU_FEAT_MMX | CPU_FEAT_3DNOW | CPU_FEAT_3DNOW_EXT | CPU_FEAT_MMX_EXT);

  cpu.os_runs = 0;
  EXPECT_EQ(identify().features, CPU_FEAT_CPUID | CPU_FEAT_FPU);

  cpu.os_runs = CPU_FEAT_MMX;
  cpu.leaves[1] = signature_leaf(6, 2, EDX_FPU | EDX_TSC);
  EXPECT_EQ(identify().features, CPU_FEAT_CPUID | CPU_FEAT_FPU);
}

TEST_F(cpu_identify_test, every_reported_bit_gives_the_whole_word_without_0x100) {
  cpu.leaves[0] = vendor_leaf(1, "AuthenticAMD");
  cpu.leaves[1] = signature_leaf(6, 2, 0xFFFFFFFFu);
  cpu.leaves[0x80000000u] = {0x80000001u, 0, 0, 0};
  cpu.leaves[0x80000001u] = {0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu};
  EXPECT_EQ(identify().features, 0x2FFu);
}

TEST_F(cpu_identify_test, brand_string_replaces_the_model_name_and_is_cut_at_48_characters) {
  const char brand[49] = "Brand Processor Name Of Exactly Forty-Eight Char";
  ASSERT_EQ(std::strlen(brand), 48u);
  cpu.leaves[0] = vendor_leaf(1, "GenuineIntel");
  cpu.leaves[1] = signature_leaf(15, 0, EDX_FPU | EDX_TSC);
  cpu.leaves[0x80000000u] = {0x80000004u, 0, 0, 0};
  for (std::uint32_t i = 0; i < 3; ++i) {
    cpu_regs_t r;
    std::memcpy(&r.eax, brand + 16 * i, 4);
    std::memcpy(&r.ebx, brand + 16 * i + 4, 4);
    std::memcpy(&r.ecx, brand + 16 * i + 8, 4);
    std::memcpy(&r.edx, brand + 16 * i + 12, 4);
    cpu.leaves[0x80000002u + i] = r;
  }
  EXPECT_STREQ(identify().name, brand);

  // Without leaf 0x80000004 the table name stays.
  cpu.leaves[0x80000000u] = {0x80000003u, 0, 0, 0};
  EXPECT_STREQ(identify().name, "Pentium IV (Willamette)");
}

TEST_F(cpu_identify_test, unknown_models_are_named_unknown) {
  cpu.leaves[0] = vendor_leaf(1, "GenuineIntel");
  cpu.leaves[1] = signature_leaf(6, 9, EDX_FPU | EDX_TSC);
  EXPECT_STREQ(identify().name, "unknown");
  cpu.leaves[1] = signature_leaf(7, 0, EDX_FPU | EDX_TSC);
  EXPECT_STREQ(identify().name, "unknown");
}

TEST_F(cpu_identify_test, without_time_stamp_counter_reports_and_does_not_measure) {
  cpu.leaves[0] = vendor_leaf(1, "CyrixInstead");
  cpu.leaves[1] = signature_leaf(5, 4, EDX_FPU);
  const cpu_identity_t id = identify();
  EXPECT_FALSE(id.has_tsc);
  EXPECT_EQ(id.mhz, 1u);
  EXPECT_EQ(cpu.calls, std::vector<std::string>{});
  EXPECT_EQ(messages.lines, (std::vector<std::string>{"3:[cpu] The CPU has no RDTSC support."}));
  EXPECT_STREQ(id.name, "CxGXm");
}

}  // namespace
}  // namespace keln
