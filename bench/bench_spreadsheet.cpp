#include "bench/bench.h"

namespace kelvora::bench {

void runSpreadsheetBenchmarks() {}

}  // namespace kelvora::bench
