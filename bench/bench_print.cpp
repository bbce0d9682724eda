#include "bench/bench.h"

namespace kelvora::bench {

void runPrintBenchmarks() {}

}  // namespace kelvora::bench
