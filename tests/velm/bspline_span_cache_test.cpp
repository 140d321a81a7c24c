// The processor's B-spline basis against the reference recursion
// (bspline_basis): on and beside every knot, at the first and last knot, on
// random knot vectors and parameters in any order; and whole channels sampled
// with it against the portable sampling, across the loop's wrap.
#include "velm/bspline_span_cache.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "kelncore/system/startup.h"
#include "smooth_motion.h"
#include "velm/bspline_bone_channel.h"
#include "velm_fixture.h"

namespace keln::velm {
namespace {

// Clamped knots with interior random interior knots, some of them crowded.
std::vector<float> random_knots(std::mt19937& engine, std::uint32_t interior) {
  std::vector<float> k(4, 0.0f);
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  for (std::uint32_t i = 0; i < interior; ++i) k.push_back(i % 5 == 4 ? std::nextafter(k.back(), 1.0f) : unit(engine));
  std::sort(k.begin() + 4, k.end());
  k.erase(std::unique(k.begin() + 4, k.end()), k.end());
  k.insert(k.end(), 4, 1.0f);
  return k;
}

// The parameters worth testing on k: every knot, its neighbours, 0, 1,
// values beyond both ends and random ones, shuffled so that spans are
// entered in any order.
std::vector<float> parameters(std::mt19937& engine, const std::vector<float>& k) {
  std::vector<float> ts = {-0.5f, 0.0f, 1e-30f, 1.0f, 1.5f, std::nextafter(1.0f, 0.0f)};
  for (float knot : k) {
    ts.push_back(knot);
    ts.push_back(std::nextafter(knot, -1.0f));
    ts.push_back(std::nextafter(knot, 2.0f));
  }
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  for (int n = 0; n < 200; ++n) ts.push_back(unit(engine));
  std::shuffle(ts.begin(), ts.end(), engine);
  return ts;
}

TEST(bspline_span_cache, basis_is_near_the_recursion_on_and_between_the_knots) {
  std::mt19937 engine(7);
  bspline_span_cache_t cache;  // one cache across every knot vector, as a reused channel would have
  for (std::uint32_t interior = 0; interior < 14; ++interior) {
    const std::vector<float> k = random_knots(engine, interior);
    const auto count = static_cast<std::uint32_t>(k.size());
    for (std::uint32_t control_count : {count - 4, count - 5}) {
      if (control_count < 4) continue;
      for (float t : parameters(engine, k)) {
        bspline_basis_t fast, reference;
        std::uint32_t hint = 0;
        bspline_basis(k.data(), count, control_count, t, hint, reference);
        bspline_basis_fast(k.data(), count, control_count, t, cache, fast);
        ASSERT_EQ(fast.first, reference.first) << "t = " << t;
        ASSERT_TRUE(velm_test::near_relative(fast.n, reference.n, 1, 4, keln::test::tol_exact))
            << "t = " << t << ", " << count << " knots";
      }
    }
  }
}

TEST(bspline_span_cache, ends_are_the_end_control_points_exactly) {
  const std::vector<float> k = {0, 0, 0, 0, 0.25f, 0.5f, 1, 1, 1, 1};
  bspline_span_cache_t cache;
  bspline_basis_t b;
  bspline_basis_fast(k.data(), 10, 6, 0.0f, cache, b);
  EXPECT_TRUE(b.first == 0 && b.n[0] == 1.0f);
  bspline_basis_fast(k.data(), 10, 6, 1.0f, cache, b);
  EXPECT_TRUE(b.first == 2 && b.n[3] == 1.0f && b.n[0] + b.n[1] + b.n[2] == 0.0f);
}

// Every channel of a fitted motion sampled through several loops and around
// each wrap, with the processor's evaluation and with the portable one.
TEST(bspline_span_cache, channels_sample_near_the_portable_values_across_the_wrap) {
  const motion_t keys = sample::smooth_motion(3, 6, 61, 2.0f);
  std::vector<bspline_bone_channel_t> channels(keys.channels.size());
  bspline_fit_scratch_t scratch;
  for (std::uint32_t c = 0; c < channels.size(); ++c) channels[c].fit(keys.channels[c], scratch);
  std::vector<float> times;
  for (float time = -2.5f; time < 6.0f; time += 1.0f / 60.0f) times.push_back(time);
  for (float wrap : {0.0f, 2.0f, 4.0f}) {
    times.push_back(wrap);
    times.push_back(std::nextafter(wrap, -1.0f));
    times.push_back(std::nextafter(wrap, 9.0f));
  }
  // Every sample with the portable basis, then every one with the processor's;
  // the core is left as the test program started it (portable routines).
  std::vector<bone_t> portable, fast;
  for (unsigned flags : {0u, 1u}) {
    core_startup(flags);
    ASSERT_EQ(bspline_basis_fast_available(), flags != 0);
    for (const bspline_bone_channel_t& channel : channels) {
      for (float time : times) {
        (flags ? fast : portable).emplace_back();
        channel.sample(time, (flags ? fast : portable).back());
      }
    }
  }
  core_startup(0);
  for (std::size_t i = 0; i < fast.size(); ++i) {
    const float time = times[i % times.size()];
    ASSERT_TRUE(velm_test::near_relative(fast[i].position.c, portable[i].position.c, 1, 3, keln::test::tol_exact))
        << time;
    ASSERT_TRUE(velm_test::near_relative(fast[i].rotation.c, portable[i].rotation.c, 1, 4, keln::test::tol_exact))
        << time;
    ASSERT_TRUE(velm_test::near_relative(fast[i].stretch.m, portable[i].stretch.m, 1, 9, keln::test::tol_exact))
        << time;
  }
}

}  // namespace
}  // namespace keln::velm
