#include "testing/bench_support.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace testing_support {

double Seconds() {
  LARGE_INTEGER frequency, now;
  ::QueryPerformanceFrequency(&frequency);
  ::QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void PrepareBenchmarkProcess() {
  if (!std::getenv("HALVERN_BIN")) {
    std::string self(MAX_PATH, '\0');
    self.resize(::GetModuleFileNameA(nullptr, &self[0], MAX_PATH));
    const std::string bin = "HALVERN_BIN=" + self.substr(0, self.find_last_of('\\'));
    _putenv(bin.c_str());
  }
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
}

void PrintFigure(const std::string& name, double value, const char* unit, int decimals) {
  std::printf("bench %s %.*f %s\n", name.c_str(), decimals, value, unit);
  std::fflush(stdout);
}

void PrintRatio(const std::string& name, double ratio) {
  std::printf("bench %s.ratio %.2f x\n", name.c_str(), ratio);
  std::fflush(stdout);
}

}  // namespace testing_support
