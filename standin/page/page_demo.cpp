// Runs the example page (examples/stories.js, beside this program as page_example.js) through
// the page stand-in against the stand-in client on its example fixture, and prints the page.
#include <windows.h>

#include <cstdio>
#include <stdexcept>
#include <string>

#include "testing/process.h"
#include "testing/standin_client.h"
#include "testing/temp_dir.h"

int main() {
  if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
  int result = 0;
  try {
    using namespace testing_support;
    StandinClient client(ReadFile(BuildOutput("standin-example.json")));
    if (RunProgram("regsvr32 /s " + Quote(BuildOutput("Chanbind.dll")), 300000) != 0) {
      throw std::runtime_error("Chanbind.dll did not register");
    }
    // The page prints to this console.
    std::fflush(stdout);
    result = static_cast<int>(
        RunProgram(Quote(BuildOutput("page_standin.exe")) + " /script " + Quote(BuildOutput("page_example.js")), 120000));
  } catch (const std::exception& error) {
    std::fprintf(stderr, "page_demo: %s\n", error.what());
    result = 1;
  }
  ::CoUninitialize();
  return result;
}
