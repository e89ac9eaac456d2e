// Finds top-level dialogs and message boxes (of any thread or process) by caption, reads
// their texts and presses their buttons, so tests can exercise code that calls MessageBoxA.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace testing_support {

enum class DialogIcon { None, Error, Question, Warning, Information, Unknown };
const char* DialogIconName(DialogIcon icon);

struct DialogContents {
  std::string caption;
  std::vector<std::string> texts;    // static controls holding text, in child order
  std::vector<std::string> buttons;  // button captions with the '&' markers removed
  DialogIcon icon = DialogIcon::None;
  // The message of a message box (its text control), or the first text.
  std::string message;
};

class Dialog {
 public:
  explicit Dialog(HWND window) : window_(window) {}
  HWND window() const { return window_; }
  DialogContents Read() const;
  // Presses the button whose caption (without '&') is caption; false when there is none.
  bool Press(const std::string& caption) const;
  // Waits until the dialog has gone; false after timeout_ms.
  bool WaitClosed(DWORD timeout_ms) const;

 private:
  HWND window_;
};

// Polls for a visible top-level dialog (class "#32770") with exactly this caption.
std::optional<Dialog> WaitForDialog(const std::string& caption, DWORD timeout_ms);

// The one way tests answer a box: waits for it, reads it, runs before_press (if any), presses
// button (closes the box when it has no such button) and waits until it has gone. None when no
// box came within timeout_ms.
struct AnsweredDialog {
  DialogContents contents;
  DWORD thread = 0;     // the thread that showed it
  HWND owner = nullptr;  // its owner window
  bool pressed = false;  // false: it had no such button and was closed
};
std::optional<AnsweredDialog> AnswerDialog(const std::string& caption, const std::string& button,
                                           DWORD timeout_ms, const std::function<void()>& before_press = nullptr);

// True when no such dialog appears within timeout_ms.
bool NoDialogFor(const std::string& caption, DWORD timeout_ms);

}  // namespace testing_support
