#include "bench/bench.h"

namespace kelvora::bench {

void runExportBenchmarks() {}

}  // namespace kelvora::bench
