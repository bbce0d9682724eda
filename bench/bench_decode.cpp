#include "bench/bench.h"

namespace kelvora::bench {

void runDecodeBenchmarks() {}

}  // namespace kelvora::bench
