#include "user_input.h"

namespace storyroll_tests {

namespace {

void Send(std::vector<INPUT> inputs) {
  ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

INPUT Mouse(DWORD flags) {
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  return input;
}

INPUT Key(WORD key, bool up) {
  INPUT input = {};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return input;
}

}  // namespace

void BringToFront(HWND window) {
  HWND top = ::GetAncestor(window, GA_ROOT);
  ::SetForegroundWindow(top);
  ::SetActiveWindow(top);
}

void ClickRow(HWND list, int row, bool right, bool twice) {
  RECT place = {};
  ::SendMessageA(list, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&place));
  POINT point = {(place.left + place.right) / 2, place.top + 4};
  ::ClientToScreen(list, &point);
  ::SetCursorPos(point.x, point.y);
  const DWORD down = right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
  const DWORD up = right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
  if (twice) {
    Send({Mouse(down), Mouse(up), Mouse(down), Mouse(up)});
  } else {
    Send({Mouse(down), Mouse(up)});
  }
}

void PressKey(WORD key, std::vector<WORD> modifiers) {
  std::vector<INPUT> inputs;
  for (WORD modifier : modifiers) inputs.push_back(Key(modifier, false));
  inputs.push_back(Key(key, false));
  inputs.push_back(Key(key, true));
  for (auto modifier = modifiers.rbegin(); modifier != modifiers.rend(); ++modifier) inputs.push_back(Key(*modifier, true));
  Send(inputs);
}

MenuAnswer::MenuAnswer(WORD key) : key_(key) {
  thread_ = std::thread([this] {
    HWND menu_window = nullptr;
    for (int tries = 0; tries < 200 && !menu_window; ++tries) {
      menu_window = ::FindWindowA("#32768", nullptr);
      if (!menu_window || !::IsWindowVisible(menu_window)) {
        menu_window = nullptr;
        ::Sleep(25);
      }
    }
    if (!menu_window) return;
    seen_ = true;
    HMENU menu = reinterpret_cast<HMENU>(::SendMessageA(menu_window, MN_GETHMENU, 0, 0));
    const int count = menu ? ::GetMenuItemCount(menu) : 0;
    for (int i = 0; i < count; ++i) {
      char text[128] = "";
      ::GetMenuStringA(menu, i, text, sizeof(text), MF_BYPOSITION);
      const UINT state = ::GetMenuState(menu, i, MF_BYPOSITION);
      items_.push_back({text, (state & (MF_GRAYED | MF_DISABLED)) == 0, (state & MF_CHECKED) != 0,
                        (state & MF_SEPARATOR) != 0});
    }
    PressKey(key_);
    for (int tries = 0; tries < 200 && ::IsWindowVisible(menu_window); ++tries) ::Sleep(25);
  });
}

MenuAnswer::~MenuAnswer() {
  if (thread_.joinable()) thread_.join();
}

const std::vector<MenuItem>& MenuAnswer::Items() {
  if (thread_.joinable()) thread_.join();
  return items_;
}

std::vector<std::string> Texts(const std::vector<MenuItem>& items) {
  std::vector<std::string> texts;
  for (const MenuItem& item : items) texts.push_back(item.separator ? "-" : item.text);
  return texts;
}

std::vector<std::string> EnabledTexts(const std::vector<MenuItem>& items) {
  std::vector<std::string> texts;
  for (const MenuItem& item : items) {
    if (!item.separator && item.enabled) texts.push_back(item.text);
  }
  return texts;
}

}  // namespace storyroll_tests
