#include "caught_errors.h"

#include <stdexcept>

#include "comsupport/com_error.h"

namespace hookwell {

void ReportCaughtException(ExtensionLog& log, const char* module, int line, ComErrors com_errors) noexcept {
  try {
    std::string message = "Caught unhandled error";
    try {
      throw;
    } catch (const comsupport::ComError& error) {
      if (com_errors == ComErrors::Apart) message = "Caught COM error-" + error.description();
    } catch (const std::range_error& error) {
      message = std::string("Caught range error-") + error.what();
    } catch (const std::domain_error& error) {
      message = std::string("Caught domain error-") + error.what();
    } catch (...) {
    }
    log.Report(module, line, message);
  } catch (...) {
    // Out of memory while logging: the handler still returns its result.
  }
}

}  // namespace hookwell
