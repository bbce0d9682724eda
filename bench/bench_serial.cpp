#include "bench/bench.h"

namespace kelvora::bench {

void runSerialBenchmarks() {}

}  // namespace kelvora::bench
