#include "bench.h"

namespace kivo::bench {

void benchRunner() {}

}  // namespace kivo::bench
