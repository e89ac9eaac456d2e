#include "user_messages.h"

namespace placement {

void MessageBoxes::Show(const std::string& text, const std::string& caption, UINT style) {
  ::MessageBoxA(nullptr, text.c_str(), caption.c_str(), style);
}

}  // namespace placement
