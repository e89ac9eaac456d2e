#include "content_security.h"

#include <cwctype>

#include "address_rules.h"
#include "chanbind_resources.h"
#include "comsupport/bstr.h"
#include "comsupport/registry.h"
#include "resource_module.h"

namespace chanbind {
namespace {

constexpr char kSecureContentKey[] = "Software\\Zorvane\\Zorvane\\IE\\SecureContent";

struct DialogState {
  std::string channel;
  WarningAnswer answer = kWarningNo;
};

INT_PTR CALLBACK WarningProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG: {
      ::SetWindowLongPtrA(dialog, DWLP_USER, lparam);
      auto* state = reinterpret_cast<DialogState*>(lparam);
      char text[512] = {};
      ::GetDlgItemTextA(dialog, IDC_NOT_AGAIN_FOR_CHANNEL, text, sizeof text);
      // The channel's name goes in as text, never as a format.
      std::string label = text;
      const size_t mark = label.find("%s");
      if (mark != std::string::npos) label.replace(mark, 2, state->channel);
      ::SetDlgItemTextA(dialog, IDC_NOT_AGAIN_FOR_CHANNEL, label.c_str());
      return TRUE;
    }
    case WM_COMMAND: {
      auto* state = reinterpret_cast<DialogState*>(::GetWindowLongPtrA(dialog, DWLP_USER));
      switch (LOWORD(wparam)) {
        case IDC_NOT_AGAIN:
          ::EnableWindow(::GetDlgItem(dialog, IDC_NOT_AGAIN_FOR_CHANNEL),
                         ::IsDlgButtonChecked(dialog, IDC_NOT_AGAIN) != BST_CHECKED);
          return TRUE;
        case IDOK:
          if (::IsDlgButtonChecked(dialog, IDC_NOT_AGAIN) == BST_CHECKED) {
            state->answer = kWarningYesForAll;
          } else if (::IsDlgButtonChecked(dialog, IDC_NOT_AGAIN_FOR_CHANNEL) == BST_CHECKED) {
            state->answer = kWarningYesForChannel;
          } else {
            state->answer = kWarningYes;
          }
          ::EndDialog(dialog, IDOK);
          return TRUE;
        case IDCANCEL:
          state->answer = kWarningNo;
          ::EndDialog(dialog, IDCANCEL);
          return TRUE;
      }
      return FALSE;
    }
  }
  return FALSE;
}

// Written under the current user only; a failure to write is not the user's problem: the file
// still opens this time.
void RememberTrusted(const std::string& name) {
  auto key = comsupport::RegistryKey::Create(HKEY_CURRENT_USER, kSecureContentKey, KEY_ALL_ACCESS);
  if (key) key.WriteString(name.c_str(), "");
}

}  // namespace

bool IsLocalPath(const std::wstring& value) {
  if (value.size() <= 2) return false;
  if (std::iswalpha(value[0]) && value[1] == L':' && (value[2] == L'\\' || value[2] == L'/')) return true;
  if (value[0] == L'\\' && value[1] == L'\\') return true;
  return _wcsnicmp(value.c_str(), L"file:", 5) == 0;
}

bool IsSafeFileType(const std::wstring& path, const std::wstring& safe_list) {
  std::wstring name = path;
  if (_wcsnicmp(name.c_str(), L"file:", 5) == 0) name = PercentDecode(name);
  const size_t end = name.find_first_of(L"?#", _wcsnicmp(name.c_str(), L"file:", 5) == 0 ? 5 : name.size());
  if (end != std::wstring::npos) name.resize(end);
  const size_t slash = name.find_last_of(L"\\/");
  if (slash != std::wstring::npos) name = name.substr(slash + 1);
  // A ":" in a file name names a stream of the file, not its type.
  if (name.find(L':') != std::wstring::npos) return false;
  // The file system drops trailing dots and spaces: "a.exe. " opens a.exe.
  while (!name.empty() && (name.back() == L'.' || name.back() == L' ')) name.pop_back();
  const size_t dot = name.rfind(L'.');
  if (dot == std::wstring::npos) return false;
  const std::wstring extension = name.substr(dot + 1);
  if (extension.empty() || extension.size() > 4) return false;
  for (wchar_t c : extension) {
    if (!std::iswalnum(c)) return false;
  }
  size_t start = 0;
  while (start <= safe_list.size()) {
    size_t comma = safe_list.find(L',', start);
    if (comma == std::wstring::npos) comma = safe_list.size();
    const std::wstring entry = safe_list.substr(start, comma - start);
    start = comma + 1;
    if (entry.empty()) continue;
    if (extension.size() == entry.size() && _wcsicmp(extension.c_str(), entry.c_str()) == 0) return true;
    if (entry.size() == 3 && extension.size() == 4 && _wcsnicmp(extension.c_str(), entry.c_str(), 3) == 0) {
      return true;
    }
  }
  return false;
}

bool ChannelTrustsFiles(IZorvaneChannel4_2* channel) {
  if (!channel) return false;
  ESecurityMode mode = SECURITY_MODE_MEDIUM;
  if (SUCCEEDED(channel->get_SecurityMode(&mode)) && mode == SECURITY_MODE_LOW) return true;
  long flags = 0;
  return SUCCEEDED(channel->get_SecurityFlags(&flags)) && (flags & SECURITY_FLAG_ALLOW_EXECUTABLES) &&
         !(flags & SECURITY_FLAG_AUTHENTICATE_EXECUTABLES);
}

bool SecureContentListed(const std::wstring& channel_name) {
  for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
    auto key = comsupport::RegistryKey::Open(root, kSecureContentKey, KEY_READ);
    if (!key) continue;
    for (const std::string& name : key.ValueNames()) {
      const std::wstring wide = comsupport::ToWide(name);
      if (wide == L"*" || (!channel_name.empty() && _wcsicmp(wide.c_str(), channel_name.c_str()) == 0)) return true;
    }
  }
  return false;
}

WarningAnswer AskSecurityWarning(const std::wstring& channel_name) {
  DialogState state;
  state.channel = comsupport::ToAnsi(channel_name);
  const INT_PTR shown = ::DialogBoxParamA(ResourceModule(), MAKEINTRESOURCEA(IDD_SECURITY_WARNING),
                                          ::GetActiveWindow(), WarningProc, reinterpret_cast<LPARAM>(&state));
  return shown == -1 || shown == 0 ? kWarningNo : state.answer;
}

bool ContentAllowed(const std::wstring& path, const std::wstring& channel_name, IZorvaneChannel4_2* channel) {
  if (IsSafeFileType(path, comsupport::ToWide(ResourceString(IDS_SAFE_EXTENSIONS)))) return true;
  if (ChannelTrustsFiles(channel)) return true;
  if (SecureContentListed(channel_name)) return true;
  switch (AskSecurityWarning(channel_name)) {
    case kWarningYes:
      return true;
    case kWarningYesForChannel:
      // A channel without a name cannot be remembered: it would read as an empty value name.
      if (!channel_name.empty()) RememberTrusted(comsupport::ToAnsi(channel_name));
      return true;
    case kWarningYesForAll:
      RememberTrusted("*");
      return true;
    default:
      return false;
  }
}

}  // namespace chanbind
