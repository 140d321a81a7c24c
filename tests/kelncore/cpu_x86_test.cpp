#include <gtest/gtest.h>
#include <signal.h>

#include <cstring>

#include "kelncore/system/cpu.h"
#include "kelncore/system/cpu_x86.h"
#include "kelncore/system/mem_copy.h"
#include "kelncore/system/startup.h"

namespace keln {
namespace {

TEST(cpu_startup, detects_what_every_x86_64_processor_has_and_without_detection_the_word_is_fpu_only) {
  core_startup(1);
  const std::uint32_t needed =
      CPU_FEAT_CPUID | CPU_FEAT_FPU | CPU_FEAT_MMX | CPU_FEAT_CMOV | CPU_FEAT_SSE | CPU_FEAT_SSE2;
  EXPECT_EQ(cpu_features() & needed, needed);
  EXPECT_EQ(cpu_features() & ~0x2FFu, 0u);
  EXPECT_EQ(cpu_features() & 0x100u, 0u);
  EXPECT_EQ(mem_copy_routine, &mem_copy_sse);
  volatile float tiny = 1e-20f;
  EXPECT_EQ(tiny * tiny, 0.0f);  // flushed to zero: a denormal product comes out as zero
  EXPECT_EQ(std::strlen(cpu_vendor()), 12u);
  EXPECT_GT(cpu_mhz(), 100u);  // any processor of this century: between 100 MHz and 10 GHz
  EXPECT_LT(cpu_mhz(), 10000u);
  core_shutdown();
  core_startup(0);
  EXPECT_EQ(cpu_features(), CPU_FEAT_FPU);
  EXPECT_EQ(mem_copy_routine, &mem_copy_std);
  core_shutdown();
  cpu_ops_install_generic();
  EXPECT_STREQ(cpu_vendor(), "generic vendor");
  EXPECT_EQ(cpu_detect(), CPU_FEAT_FPU);
  cpu_ops_install_x86();
}

TEST(cpu_os_supports, runs_mmx_sse_and_sse2_and_nothing_else) {
  for (std::uint32_t feature : {CPU_FEAT_MMX, CPU_FEAT_SSE, CPU_FEAT_SSE2}) EXPECT_TRUE(cpu_os_supports(feature));
  EXPECT_FALSE(cpu_os_supports(CPU_FEAT_3DNOW));
}

void illegal_instruction() { __asm__ volatile("ud2"); }
void nothing() {}

bool sigill_handler_is_default() {
  struct sigaction current;
  sigaction(SIGILL, nullptr, &current);
  return current.sa_handler == SIG_DFL;
}

TEST(cpu_run_guarded, catches_an_illegal_instruction_and_restores_the_handlers) {
  ASSERT_TRUE(sigill_handler_is_default());
  EXPECT_FALSE(cpu_run_guarded(&illegal_instruction));
  EXPECT_TRUE(sigill_handler_is_default());
  // The signal is not left blocked: a second fault is caught the same way.
  EXPECT_FALSE(cpu_run_guarded(&illegal_instruction));
  EXPECT_TRUE(cpu_run_guarded(&nothing));
  sigset_t blocked;
  sigprocmask(SIG_BLOCK, nullptr, &blocked);
  EXPECT_FALSE(sigismember(&blocked, SIGILL));
}

}  // namespace
}  // namespace keln
