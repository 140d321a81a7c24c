// Counters of heap allocations and file reads for the document loading
// benchmark: the program interposes malloc, calloc, realloc and pread, so
// every allocation (operator new and the scanner's own buffers included) and
// every positioned read is counted. Not available under the sanitizers, which
// interpose these functions themselves (the counters then stay 0).
#pragma once

#include <cstddef>

struct load_counters_t {
  std::size_t allocations;
  std::size_t allocated_bytes;
  std::size_t reads;
  std::size_t read_bytes;
};

// The totals since program start.
load_counters_t load_counters();
