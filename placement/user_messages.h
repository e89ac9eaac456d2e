// How Shelver tells the user of a problem: message boxes in the program, a recorder in tests.
#pragma once

#include <windows.h>

#include <string>

namespace placement {

class UserMessages {
 public:
  virtual ~UserMessages() = default;
  // Returns when the user has read the message.
  virtual void Show(const std::string& text, const std::string& caption, UINT style) = 0;
};

// A message box without owner window.
class MessageBoxes : public UserMessages {
 public:
  void Show(const std::string& text, const std::string& caption, UINT style) override;
};

}  // namespace placement
