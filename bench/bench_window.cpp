#include "bench/bench.h"

namespace kelvora::bench {

void runWindowBenchmarks() {}

}  // namespace kelvora::bench
