#pragma once

#include <functional>

namespace kivo::bench {

// The median of `runs` timings of `work`, in milliseconds.
double medianMs(int runs, const std::function<void()>& work);
// One output line: "name value unit".
void print(const char* name, double value, const char* unit);

void benchBitmap();
void benchRunner();
void benchEditor();

}  // namespace kivo::bench
