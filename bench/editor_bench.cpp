#include "bench.h"

namespace kivo::bench {

void benchEditor() {}

}  // namespace kivo::bench
