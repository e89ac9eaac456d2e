#include "testing/dialog_driver.h"

#include <algorithm>
#include <climits>
#include <vector>

namespace testing_support {

namespace {

// The icon and text controls of a message box.
constexpr int kMessageBoxIconId = 0x0440;
constexpr int kMessageBoxTextId = 0xFFFF;
constexpr int kIconSize = 32;

std::string WindowText(HWND window) {
  // WM_GETTEXT works across processes where GetWindowText would not for controls.
  LRESULT length = ::SendMessageA(window, WM_GETTEXTLENGTH, 0, 0);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  LRESULT copied = ::SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
  text.resize(static_cast<size_t>(copied));
  return text;
}

std::string ClassName(HWND window) {
  char name[64] = {};
  ::GetClassNameA(window, name, sizeof name);
  return name;
}

std::string WithoutMnemonic(std::string text) {
  text.erase(std::remove(text.begin(), text.end(), '&'), text.end());
  return text;
}

std::vector<HWND> Children(HWND parent) {
  std::vector<HWND> children;
  for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    children.push_back(child);
  }
  return children;
}

// The 32x32 pixels that draw(memory_dc, screen_dc) paints into a bitmap like the screen's.
template <class Draw>
std::vector<COLORREF> IconPixels(Draw draw) {
  std::vector<COLORREF> pixels;
  HDC screen = ::GetDC(nullptr);
  HDC memory = ::CreateCompatibleDC(screen);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, kIconSize, kIconSize);
  HGDIOBJ old = ::SelectObject(memory, bitmap);
  draw(memory, screen);
  for (int y = 0; y < kIconSize; ++y)
    for (int x = 0; x < kIconSize; ++x) pixels.push_back(::GetPixel(memory, x, y));
  ::SelectObject(memory, old);
  ::DeleteObject(bitmap);
  ::DeleteDC(memory);
  ::ReleaseDC(nullptr, screen);
  return pixels;
}

// What the screen shows there: the X server has every process's windows.
std::vector<COLORREF> CaptureScreen(const RECT& area) {
  return IconPixels([&](HDC memory, HDC screen) {
    ::BitBlt(memory, 0, 0, kIconSize, kIconSize, screen, area.left, area.top, SRCCOPY);
  });
}

std::vector<COLORREF> RenderIcon(HICON icon, COLORREF background) {
  return IconPixels([&](HDC memory, HDC) {
    HBRUSH brush = ::CreateSolidBrush(background);
    RECT all = {0, 0, kIconSize, kIconSize};
    ::FillRect(memory, &all, brush);
    ::DeleteObject(brush);
    ::DrawIconEx(memory, 0, 0, icon, kIconSize, kIconSize, 0, nullptr, DI_NORMAL);
  });
}

int Difference(const std::vector<COLORREF>& a, const std::vector<COLORREF>& b) {
  int different = 0;
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) different += a[i] != b[i];
  return different;
}

struct Candidate {
  DialogIcon icon;
  LPCSTR resource;
};
const Candidate kCandidates[] = {
    {DialogIcon::Error, IDI_HAND},
    {DialogIcon::Question, IDI_QUESTION},
    {DialogIcon::Warning, IDI_EXCLAMATION},
    {DialogIcon::Information, IDI_ASTERISK},
};

// In our own process the icon handle is the shared system icon; for another process's box
// the icon's pixels on screen are compared with each system icon drawn here.
DialogIcon IdentifyIcon(HWND icon_control) {
  HICON shown = reinterpret_cast<HICON>(::SendMessageA(icon_control, STM_GETICON, 0, 0));
  // Wine keeps the icon control of a box without icon, holding no icon.
  if (!shown) return DialogIcon::None;
  for (const Candidate& candidate : kCandidates) {
    if (shown && shown == ::LoadIconA(nullptr, candidate.resource)) return candidate.icon;
  }
  RECT area;
  ::GetWindowRect(icon_control, &area);
  ::RedrawWindow(icon_control, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  std::vector<COLORREF> on_screen = CaptureScreen(area);
  COLORREF background = on_screen.front();
  DialogIcon best = DialogIcon::Unknown;
  int best_difference = INT_MAX;
  for (const Candidate& candidate : kCandidates) {
    int difference = Difference(on_screen, RenderIcon(::LoadIconA(nullptr, candidate.resource), background));
    if (difference < best_difference) {
      best_difference = difference;
      best = candidate.icon;
    }
  }
  // A handful of differing pixels is anti-aliasing; more means none of the system icons.
  return best_difference <= kIconSize * kIconSize / 20 ? best : DialogIcon::Unknown;
}

struct Search {
  const std::string* caption;
  HWND found;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM parameter) {
  Search* search = reinterpret_cast<Search*>(parameter);
  if (::IsWindowVisible(window) && ClassName(window) == "#32770" && WindowText(window) == *search->caption) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

HWND FindDialog(const std::string& caption) {
  Search search = {&caption, nullptr};
  ::EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace

const char* DialogIconName(DialogIcon icon) {
  switch (icon) {
    case DialogIcon::None: return "none";
    case DialogIcon::Error: return "error";
    case DialogIcon::Question: return "question";
    case DialogIcon::Warning: return "warning";
    case DialogIcon::Information: return "information";
    case DialogIcon::Unknown: break;
  }
  return "unknown";
}

DialogContents Dialog::Read() const {
  DialogContents contents;
  contents.caption = WindowText(window_);
  for (HWND child : Children(window_)) {
    std::string kind = ClassName(child);
    int id = ::GetDlgCtrlID(child);
    LONG style = ::GetWindowLongA(child, GWL_STYLE);
    if (_stricmp(kind.c_str(), "Button") == 0) {
      contents.buttons.push_back(WithoutMnemonic(WindowText(child)));
    } else if (_stricmp(kind.c_str(), "Static") == 0) {
      if ((style & SS_TYPEMASK) == SS_ICON) {
        if (::IsWindowVisible(child)) contents.icon = IdentifyIcon(child);
        continue;
      }
      std::string text = WindowText(child);
      if (id == kMessageBoxTextId) contents.message = text;
      if (!text.empty()) contents.texts.push_back(text);
    } else if (id == kMessageBoxIconId && ::IsWindowVisible(child)) {
      contents.icon = IdentifyIcon(child);
    }
  }
  if (contents.message.empty() && !contents.texts.empty()) contents.message = contents.texts.front();
  return contents;
}

bool Dialog::Press(const std::string& caption) const {
  for (HWND child : Children(window_)) {
    if (_stricmp(ClassName(child).c_str(), "Button") != 0) continue;
    if (WithoutMnemonic(WindowText(child)) != caption) continue;
    // Posted, so that a dialog of a busy thread or another process ends as if clicked.
    return ::PostMessageA(window_, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(child), BN_CLICKED),
                          reinterpret_cast<LPARAM>(child)) != FALSE;
  }
  return false;
}

bool Dialog::WaitClosed(DWORD timeout_ms) const {
  DWORD start = ::GetTickCount();
  while (::IsWindow(window_)) {
    if (::GetTickCount() - start >= timeout_ms) return false;
    ::Sleep(20);
  }
  return true;
}

std::optional<Dialog> WaitForDialog(const std::string& caption, DWORD timeout_ms) {
  DWORD start = ::GetTickCount();
  for (;;) {
    if (HWND found = FindDialog(caption)) return Dialog(found);
    if (::GetTickCount() - start >= timeout_ms) return std::nullopt;
    ::Sleep(20);
  }
}

std::optional<AnsweredDialog> AnswerDialog(const std::string& caption, const std::string& button,
                                           DWORD timeout_ms, const std::function<void()>& before_press) {
  std::optional<Dialog> box = WaitForDialog(caption, timeout_ms);
  if (!box) return std::nullopt;
  AnsweredDialog answered;
  answered.contents = box->Read();
  answered.thread = ::GetWindowThreadProcessId(box->window(), nullptr);
  answered.owner = ::GetWindow(box->window(), GW_OWNER);
  if (before_press) before_press();
  answered.pressed = box->Press(button);
  if (!answered.pressed) ::PostMessageA(box->window(), WM_CLOSE, 0, 0);
  box->WaitClosed(5000);
  return answered;
}

bool NoDialogFor(const std::string& caption, DWORD timeout_ms) {
  return !WaitForDialog(caption, timeout_ms).has_value();
}

}  // namespace testing_support
