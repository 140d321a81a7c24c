#pragma once
// Fitting the B-spline channels of a motion on several threads. Every
// channel's fit depends only on its own keys, so the channels are handed
// out one at a time to the threads (std::thread, the calling thread one of
// them), each with its own fitting scratch, and the result is the same bit
// for bit whatever the thread count and the order in which they finish.

#include <cstdint>

#include "kelncore/collections/arrays/arrays_dyn.h"
#include "velm/bone_channel.h"
#include "velm/bspline_bone_channel.h"

namespace keln::velm {

// Thread count for fitting: the processor count reported by the standard
// library, 1 when it reports none.
unsigned bspline_fit_thread_count();

// Resizes fitted to the count of keys and fits fitted[i] to keys[i] for
// every i, on up to `threads` threads (1 fits on the calling thread alone).
void bspline_fit_channels(const array_t<bone_channel_t>& keys, array_dyn_t<bspline_bone_channel_t>& fitted,
                          unsigned threads);

}  // namespace keln::velm
