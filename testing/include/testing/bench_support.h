// What every benchmark program shares: a clock and a process set up to print plain lines.
#pragma once

namespace testing_support {

// Seconds on the performance counter.
double Seconds();

// Standard output and error without carriage returns, and HALVERN_BIN (where the build's
// programs are) set to the benchmark's own folder unless the caller set it.
void PrepareBenchmarkProcess();

}  // namespace testing_support
