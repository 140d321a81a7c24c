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

// A described processor: its CPUID leaves and what its operating system runs;
// the probe functions read it and log what they were asked.
struct fake_cpu_t {
  bool has_cpuid = true;
  std::map<std::uint32_t, cpu_regs_t> leaves;
  std::uint32_t os_runs = CPU_FEAT_MMX | CPU_FEAT_SSE | CPU_FEAT_SSE2;
  std::vector<std::string> calls;
};

fake_cpu_t* fake = nullptr;

const cpu_probe_t FAKE_PROBE = {
    [] { return fake->has_cpuid; },
    [](std::uint32_t leaf) { return fake->leaves.count(leaf) ? fake->leaves[leaf] : cpu_regs_t{0, 0, 0, 0}; },
    [](std::uint32_t feature) {
      return fake->calls.push_back("os " + std::to_string(feature)), (fake->os_runs & feature) != 0;
    },
    [] { fake->calls.push_back("flush-to-zero"); },
    []() -> std::uint32_t { return fake->calls.push_back("measure"), 733; },
};

// Leaf 0 with the highest basic leaf and the vendor text in EBX, EDX, ECX.
cpu_regs_t vendor_leaf(std::uint32_t highest, const char* vendor) {
  cpu_regs_t r = {highest, 0, 0, 0};
  std::memcpy(&r.ebx, vendor, 4);
  std::memcpy(&r.edx, vendor + 4, 4);
  std::memcpy(&r.ecx, vendor + 8, 4);
  return r;
}

constexpr std::uint32_t EDX_FPU = 1u << 0, EDX_TSC = 1u << 4, EDX_CMOV = 1u << 15, EDX_MMX = 1u << 23,
                        EDX_SSE = 1u << 25, EDX_SSE2 = 1u << 26, ALL = 0xFFFFFFFFu;
constexpr std::uint32_t EXT_MMX_EXT = 1u << 22, EXT_3DNOW_EXT = 1u << 30;  // 3DNow! itself is bit 31
constexpr std::uint32_t BASE = CPU_FEAT_CPUID | CPU_FEAT_FPU;
const char* const NO_TSC = "3:[cpu] The CPU has no RDTSC support.";

struct recording_handler_t : message_handler_t {
  void handle(const string& text, message_level_t level) override {
    lines.push_back(std::to_string(level) + ":" + text.c_str());
  }
  std::vector<std::string> lines;
};

// The leaves: 0 (highest basic leaf, vendor), 1 (family, model, EDX) and,
// when extended_edx is not 0, 0x80000001 with that EDX.
struct identify_case_t {
  const char* what;
  bool has_cpuid;
  std::uint32_t highest_leaf;
  const char* vendor;
  unsigned family, model;
  std::uint32_t edx, extended_edx, os_runs, features;
  const char* name;
  std::uint32_t mhz;
  std::vector<std::string> calls, messages;
};

const std::uint32_t OS_ALL = CPU_FEAT_MMX | CPU_FEAT_SSE | CPU_FEAT_SSE2;
const identify_case_t IDENTIFY_CASES[] = {
    {"no cpuid", false, 0, "GenuineIntel", 6, 7, EDX_FPU, 0, OS_ALL, 0, "", 1, {},
     {"1:unable to identify cpu", NO_TSC}},
    {"no basic leaves", true, 0, "GenuineIntel", 6, 7, EDX_FPU | EDX_TSC | EDX_SSE, 0, OS_ALL, CPU_FEAT_CPUID, "", 1,
     {}, {"1:cpu features not detected", NO_TSC}},
    {"sets in order", true, 2, "GenuineIntel", 6, 7, EDX_FPU | EDX_TSC | EDX_CMOV | EDX_MMX | EDX_SSE | EDX_SSE2, 0,
     OS_ALL, BASE | CPU_FEAT_MMX | CPU_FEAT_CMOV | CPU_FEAT_SSE | CPU_FEAT_SSE2, "Pentium III (Katmai)", 733,
     {"os 4", "os 64", "flush-to-zero", "os 128", "measure"}, {}},
    {"os runs mmx only", true, 1, "GenuineIntel", 15, 1, EDX_FPU | EDX_TSC | EDX_MMX | EDX_SSE | EDX_SSE2, 0,
     CPU_FEAT_MMX, BASE | CPU_FEAT_MMX, "Pentium IV (Willamette)", 733, {"os 4", "os 64", "os 128", "measure"}, {}},
    {"sets not reported", true, 1, "AuthenticAMD", 5, 8, EDX_FPU | EDX_TSC, 0, OS_ALL, BASE, "K6-2", 733,
     {"measure"}, {}},
    {"extended", true, 1, "AuthenticAMD", 6, 2, EDX_FPU | EDX_TSC | EDX_MMX, EXT_3DNOW_EXT | EXT_MMX_EXT, OS_ALL,
     BASE | CPU_FEAT_MMX | CPU_FEAT_3DNOW_EXT | CPU_FEAT_MMX_EXT, "Athlon/Duron", 733,
     {"os 4", "measure"}, {}},
    {"extended without os mmx", true, 1, "AuthenticAMD", 6, 2, EDX_FPU | EDX_TSC | EDX_MMX, ALL, 0, BASE,
     "Athlon/Duron", 733, {"os 4", "measure"}, {}},
    {"extended without mmx", true, 1, "AuthenticAMD", 6, 2, EDX_FPU | EDX_TSC, ALL, OS_ALL, BASE, "Athlon/Duron", 733,
     {"measure"}, {}},
    {"every bit: whole word without 0x100", true, 1, "AuthenticAMD", 6, 2, ALL, ALL, OS_ALL, 0x2FFu, "Athlon/Duron",
     733, {"os 4", "os 64", "flush-to-zero", "os 128", "measure"}, {}},
    {"no time stamp counter", true, 1, "CyrixInstead", 5, 4, EDX_FPU, 0, OS_ALL, BASE, "CxGXm", 1, {}, {NO_TSC}},
    {"unknown model", true, 1, "GenuineIntel", 6, 9, EDX_FPU | EDX_TSC, 0, OS_ALL, BASE, "unknown", 733,
     {"measure"}, {}},
};

class cpu_identify_test : public ::testing::TestWithParam<identify_case_t> {
 protected:
  void SetUp() override { fake = &cpu; }
  void TearDown() override { fake = nullptr; }

  fake_cpu_t cpu;
  recording_handler_t messages;
};

TEST_P(cpu_identify_test, features_name_clock_probes_and_messages) {
  const identify_case_t& c = GetParam();
  cpu.has_cpuid = c.has_cpuid;
  cpu.os_runs = c.os_runs;
  cpu.leaves[0] = vendor_leaf(c.highest_leaf, c.vendor);
  cpu.leaves[1] = {(c.family << 8) | (c.model << 4) | 0x3u, 0, 0, c.edx};  // stepping 3
  if (c.extended_edx) {
    cpu.leaves[0x80000000u] = {0x80000001u, 0, 0, 0};
    cpu.leaves[0x80000001u] = {c.extended_edx, c.extended_edx, c.extended_edx, c.extended_edx};
  }
  const cpu_identity_t id = cpu_identify(FAKE_PROBE);
  EXPECT_EQ(id.features, c.features);
  EXPECT_STREQ(id.vendor, c.has_cpuid ? c.vendor : "");
  EXPECT_STREQ(id.name, c.name);
  EXPECT_EQ(id.mhz, c.mhz);
  EXPECT_EQ(id.has_tsc, c.mhz != 1);
  EXPECT_EQ(cpu.calls, c.calls);
  EXPECT_EQ(messages.lines, c.messages);
}

INSTANTIATE_TEST_SUITE_P(processors, cpu_identify_test, ::testing::ValuesIn(IDENTIFY_CASES));

}  // namespace
}  // namespace keln
