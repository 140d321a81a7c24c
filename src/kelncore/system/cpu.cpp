#include "kelncore/system/cpu.h"

#include "kelncore/math/mat4_sse.h"
#include "kelncore/system/cpu_vector_sets.h"
#include "kelncore/system/cpu_x86.h"
#include "kelncore/system/mem_copy.h"

namespace keln {

namespace {

std::uint32_t features_in_use = 0;
std::uint32_t measured_mhz = 0;

// The portable build has no time-stamp counter to measure with.
std::uint32_t generic_detect() {
#if defined(__x86_64__) || defined(__i386__)
  cpu_set_mhz(cpu_measure_mhz(&cpu_sample));
#else
  cpu_set_mhz(1);
#endif
  return CPU_FEAT_FPU;
}

const char* generic_name() { return "generic CPU"; }
const char* generic_vendor() { return "generic vendor"; }

}  // namespace

const cpu_ops_t CPU_OPS_GENERIC = {&generic_detect, &generic_name, &generic_vendor};

cpu_ops_t cpu_ops = CPU_OPS_GENERIC;

std::uint32_t cpu_mhz() { return measured_mhz; }
void cpu_set_mhz(std::uint32_t mhz) { measured_mhz = mhz; }

std::uint32_t cpu_features() { return features_in_use; }

void cpu_ops_install_generic() { cpu_ops = CPU_OPS_GENERIC; }

void cpu_ops_install_x86() {
#if defined(__x86_64__) || defined(__i386__)
  cpu_ops = CPU_OPS_X86;
#endif
}

void cpu_setup_features(unsigned flags) {
  features_in_use = (flags & 0xFFu) != 0 ? cpu_detect() : CPU_FEATURES_UNDETECTED;
  cpu_vector_sets_select(features_in_use);
  mat4_install_for_features(features_in_use);
  mem_copy_select(features_in_use);
}

}  // namespace keln
