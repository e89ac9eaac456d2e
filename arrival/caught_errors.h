// The log line for an exception caught by one of the extension's handlers.
#pragma once

#include "extension_log.h"

namespace hookwell {

enum class ComErrors {
  // "Caught COM error-" with the callee's description.
  Apart,
  // A COM error is reported as any other unexpected error.
  AsUnhandled,
};

// Call only inside a catch block: logs the exception being handled, at line of module.
// Never throws.
void ReportCaughtException(ExtensionLog& log, const char* module, int line, ComErrors com_errors) noexcept;

}  // namespace hookwell

#define HOOKWELL_REPORT_CAUGHT(log, module, com_errors) \
  ::hookwell::ReportCaughtException((log), (module), __LINE__, (com_errors))
