#pragma once

namespace tlmbench {

// Runs the registered benchmarks with the program's globals as they are; a message box on the way
// is a failure: it is printed under name and the run ends with 3 instead of waiting for a user.
int runBenchmarks(int argc, char** argv, const char* name);

} // namespace tlmbench
