#include "messages.h"

#include "comsupport/this_module.h"
#include "library_state.h"

namespace ravlin {

namespace {

constexpr char kCaption[] = "Zorvane";

}  // namespace

std::string LoadMessage(UINT id) {
  char text[512];
  int length = ::LoadStringA(comsupport::ThisModule(), id, text, sizeof text);
  return length > 0 ? std::string(text, static_cast<size_t>(length)) : std::string();
}

int ShowMessage(HWND owner, UINT id, UINT style, const char* argument) {
  std::string text = LoadMessage(id);
  // The argument goes in as text, never as a format: a name holding "%" stays harmless.
  size_t marker = text.find("%s");
  if (marker != std::string::npos) text.replace(marker, 2, argument ? argument : "");
  return ::MessageBoxA(owner, text.c_str(), kCaption, style);
}

}  // namespace ravlin
