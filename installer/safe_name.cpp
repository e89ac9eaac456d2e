#include "safe_name.h"

namespace installer {

bool IsSafeRelativeName(const std::string& name) {
  if (name.empty() || name.size() >= 260) return false;
  if (name[0] == '\\' || name[0] == '/') return false;
  if (name.find(':') != std::string::npos) return false;  // drives and alternate streams
  std::string step;
  for (size_t at = 0; at <= name.size(); ++at) {
    char c = at < name.size() ? name[at] : '\\';
    if (c == '\\' || c == '/') {
      // Windows ignores trailing dots and blanks, so "..." and ".. " climb as well.
      size_t last = step.find_last_not_of(". ");
      if (step.empty() || last == std::string::npos) return false;
      step.clear();
    } else if (static_cast<unsigned char>(c) < 32) {
      return false;
    } else {
      step += c;
    }
  }
  return true;
}

}  // namespace installer
