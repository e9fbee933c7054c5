#pragma once

#include <functional>

namespace kivo::bench {

// The median of `runs` timings of `work`, in milliseconds.
double medianMs(int runs, const std::function<void()>& work);
// One output line: "name value unit".
void print(const char* name, double value, const char* unit);
// Resident memory of a process (this one by default), in MB.
double residentMb(long long pid = 0);

void benchBitmap();
void benchRunner();
void benchEditor();

}  // namespace kivo::bench
