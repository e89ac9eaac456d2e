#include "testing/registered_module.h"

#include <stdexcept>

#include "testing/process.h"

namespace testing_support {

RegisteredModule::RegisteredModule(std::string path) : path_(std::move(path)) {
  const DWORD exit_code = RunProgram("regsvr32 /s " + Quote(path_), 300000);
  if (exit_code != 0) throw std::runtime_error("regsvr32 " + path_ + " exited with " + std::to_string(exit_code));
}

RegisteredModule::~RegisteredModule() {
  try {
    RunProgram("regsvr32 /u /s " + Quote(path_), 300000);
  } catch (...) {
    // A test that ends must not end the run: the next registration writes over what is left.
  }
}

}  // namespace testing_support
