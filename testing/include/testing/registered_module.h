// A self-registering module registered with the system's regsvr32 for as long as the object
// lives, so that a test leaves the machine's classes as it found them.
#pragma once

#include <string>

namespace testing_support {

class RegisteredModule {
 public:
  // Throws when regsvr32 does not succeed.
  explicit RegisteredModule(std::string path);
  ~RegisteredModule();
  RegisteredModule(const RegisteredModule&) = delete;
  RegisteredModule& operator=(const RegisteredModule&) = delete;

 private:
  std::string path_;
};

}  // namespace testing_support
