#include "velm/bspline_fit_channels.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace keln::velm {

unsigned bspline_fit_thread_count() { return std::max(1u, std::thread::hardware_concurrency()); }

void bspline_fit_channels(const array_t<bone_channel_t>& keys, array_dyn_t<bspline_bone_channel_t>& fitted,
                          unsigned threads) {
  const std::uint32_t count = keys.size();
  fitted.resize(count);
  // Channels differ widely in cost (a still bone needs one fit, a busy one
  // hundreds), so each thread takes the next unfitted channel when it is done.
  std::atomic<std::uint32_t> next{0};
  auto work = [&]() {
    bspline_fit_scratch_t scratch;
    for (std::uint32_t i = next++; i < count; i = next++) fitted[i].fit(keys[i], scratch);
  };
  std::vector<std::thread> helpers;
  const unsigned helper_count = std::min<std::uint32_t>(std::max(threads, 1u), std::max(count, 1u)) - 1;
  helpers.reserve(helper_count);
  for (unsigned i = 0; i < helper_count; ++i) helpers.emplace_back(work);
  work();
  for (std::thread& helper : helpers) helper.join();
}

}  // namespace keln::velm
