#include "bench/bench.h"

namespace kelvora::bench {

void runLinkBenchmarks() {}

}  // namespace kelvora::bench
