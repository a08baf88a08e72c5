// A counting allocator for the benchmarks: while counting is on, every heap block that the
// process takes or gives back through malloc and its relatives (zlib's state and operator new
// included) moves a running total, and the highest total is kept.
#pragma once

#include <cstdint>

namespace bench {

struct HeapCount {
  std::int64_t live = 0;  // bytes taken and not given back since counting began
  std::int64_t peak = 0;  // the highest `live` reached, a moving realloc counting both blocks
};

// Starts counting from zero.
void StartCounting();
// Stops counting and gives the totals.
HeapCount StopCounting();

}  // namespace bench
