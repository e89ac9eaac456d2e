// What placement tests share: the messages a placement would have shown, recorded instead, and
// how a result prints in a failure.
#pragma once

#include <windows.h>

#include <ostream>
#include <string>
#include <vector>

#include "shelver.h"
#include "user_messages.h"

namespace placement {
inline void PrintTo(PlacementResult result, std::ostream* out) { *out << PlacementResultName(result); }
}  // namespace placement

namespace placement_tests {

struct Shown {
  std::string text;
  std::string caption;
  UINT style;
};

class RecordedMessages : public placement::UserMessages {
 public:
  void Show(const std::string& text, const std::string& caption, UINT style) override {
    shown.push_back({text, caption, style});
  }
  std::vector<Shown> shown;
};

inline std::string CurrentDirectory() {
  char directory[MAX_PATH * 2] = {};
  ::GetCurrentDirectoryA(sizeof directory, directory);
  return directory;
}

}  // namespace placement_tests
