// Real input for the Storyroll tests: mouse clicks on list rows and keys through SendInput,
// and the popup menu read and answered from another thread while the control tracks it.
#pragma once

#include <windows.h>

#include <string>
#include <thread>
#include <vector>

namespace storyroll_tests {

// Brings the control's top-level window to the front, so that input reaches it.
void BringToFront(HWND window);
// Clicks (twice: a double click) the middle of a list row with a real button press.
void ClickRow(HWND list, int row, bool right = false, bool twice = false);
// Presses key with the modifiers held.
void PressKey(WORD key, std::vector<WORD> modifiers = {});

struct MenuItem {
  std::string text;  // as the menu shows it, '&' kept
  bool enabled;
  bool checked;
  bool separator;
};

// Waits on its own thread for the popup menu ("#32768"), reads its items, then presses the
// key given (a mnemonic, or VK_ESCAPE to close it).
class MenuAnswer {
 public:
  explicit MenuAnswer(WORD key);
  ~MenuAnswer();
  // The items read, after the menu closed (joins the thread).
  const std::vector<MenuItem>& Items();
  bool seen() { Items(); return seen_; }

 private:
  WORD key_;
  bool seen_ = false;
  std::vector<MenuItem> items_;
  std::thread thread_;
};

std::vector<std::string> Texts(const std::vector<MenuItem>& items);
// "text" of the enabled items.
std::vector<std::string> EnabledTexts(const std::vector<MenuItem>& items);

}  // namespace storyroll_tests
