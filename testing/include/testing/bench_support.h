// What every benchmark program shares: a clock, a process set up to print plain lines, and the
// one form of its lines, which tools/bench checks:
//   "bench NAME VALUE UNIT"      a figure
//   "bench NAME.ratio VALUE x"   the baseline's cost over the measured one: 1.00 is as fast as
//                                the baseline, less is slower
#pragma once

#include <string>

namespace testing_support {

// Seconds on the performance counter.
double Seconds();

// Standard output and error without carriage returns, and HALVERN_BIN (where the build's
// programs are) set to the benchmark's own folder unless the caller set it.
void PrepareBenchmarkProcess();

void PrintFigure(const std::string& name, double value, const char* unit, int decimals = 1);
void PrintRatio(const std::string& name, double ratio);

}  // namespace testing_support
