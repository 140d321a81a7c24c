#include "kelncore/system/cpu_identify.h"

#include <cstring>

#include "kelncore/system/cpu.h"
#include "kelncore/system/cpu_models.h"
#include "kelncore/system/messages.h"

namespace keln {

namespace {

constexpr std::uint32_t LEAF1_FPU = 1u << 0;
constexpr std::uint32_t LEAF1_TSC = 1u << 4;
constexpr std::uint32_t LEAF1_CMOV = 1u << 15;
constexpr std::uint32_t LEAF1_MMX = 1u << 23;
constexpr std::uint32_t LEAF1_SSE = 1u << 25;
constexpr std::uint32_t LEAF1_SSE2 = 1u << 26;
constexpr std::uint32_t EXT1_MMX_EXT = 1u << 22;
constexpr std::uint32_t EXT1_3DNOW_EXT = 1u << 30;
constexpr std::uint32_t EXT1_3DNOW = 1u << 31;

constexpr std::uint32_t LEAF_EXT_MAX = 0x80000000u;
constexpr std::uint32_t LEAF_EXT_FEATURES = 0x80000001u;
constexpr std::uint32_t LEAF_BRAND_FIRST = 0x80000002u;
constexpr std::uint32_t LEAF_BRAND_LAST = 0x80000004u;

// The leaf 1 feature bits, in their fixed order; sets whose instructions the
// operating system does not run are left out.
void read_basic_features(const cpu_probe_t& probe, std::uint32_t edx, cpu_identity_t& id) {
  if (edx & LEAF1_FPU) id.features |= CPU_FEAT_FPU;
  if ((edx & LEAF1_MMX) && probe.os_supports(CPU_FEAT_MMX)) id.features |= CPU_FEAT_MMX;
  if (edx & LEAF1_CMOV) id.features |= CPU_FEAT_CMOV;
  if ((edx & LEAF1_SSE) && probe.os_supports(CPU_FEAT_SSE)) {
    id.features |= CPU_FEAT_SSE;
    probe.set_flush_to_zero();
  }
  if ((edx & LEAF1_SSE2) && probe.os_supports(CPU_FEAT_SSE2)) id.features |= CPU_FEAT_SSE2;
  id.has_tsc = (edx & LEAF1_TSC) != 0;
}

void name_from_model(std::uint32_t eax, cpu_identity_t& id) {
  const unsigned family = (eax >> 8) & 0xFu;
  const unsigned model = (eax >> 4) & 0xFu;
  std::strncpy(id.name, cpu_model_name(id.vendor, family, model), sizeof id.name - 1);
}

// The extended features and the brand string, where the extended leaves
// exist.
void read_extended(const cpu_probe_t& probe, cpu_identity_t& id) {
  const std::uint32_t highest = probe.cpuid(LEAF_EXT_MAX).eax;
  if (highest >= LEAF_EXT_FEATURES && (id.features & CPU_FEAT_MMX)) {
    const std::uint32_t edx = probe.cpuid(LEAF_EXT_FEATURES).edx;
    if (edx & EXT1_3DNOW) id.features |= CPU_FEAT_3DNOW;
    if (edx & EXT1_3DNOW_EXT) id.features |= CPU_FEAT_3DNOW_EXT;
    if (edx & EXT1_MMX_EXT) id.features |= CPU_FEAT_MMX_EXT;
  }
  if (highest >= LEAF_BRAND_LAST) {
    for (std::uint32_t leaf = LEAF_BRAND_FIRST; leaf <= LEAF_BRAND_LAST; ++leaf) {
      const cpu_regs_t r = probe.cpuid(leaf);
      const std::uint32_t text[] = {r.eax, r.ebx, r.ecx, r.edx};
      std::memcpy(id.name + 16 * (leaf - LEAF_BRAND_FIRST), text, sizeof text);
    }
    id.name[48] = '\0';
  }
}

}  // namespace

cpu_identity_t cpu_identify(const cpu_probe_t& probe) {
  cpu_identity_t id;
  if (!probe.has_cpuid()) {
    msg_warning("unable to identify cpu");
  } else {
    id.features = CPU_FEAT_CPUID;
    const cpu_regs_t leaf0 = probe.cpuid(0);
    const std::uint32_t vendor[] = {leaf0.ebx, leaf0.edx, leaf0.ecx};
    std::memcpy(id.vendor, vendor, sizeof vendor);
    if (leaf0.eax == 0) {
      msg_warning("cpu features not detected");
    } else {
      const cpu_regs_t leaf1 = probe.cpuid(1);
      read_basic_features(probe, leaf1.edx, id);
      name_from_model(leaf1.eax, id);
      read_extended(probe, id);
    }
  }
  if (!id.has_tsc) {
    msg_error("[cpu] The CPU has no RDTSC support.");
    id.mhz = 1;
  } else {
    id.mhz = probe.measure_mhz();
  }
  return id;
}

}  // namespace keln
