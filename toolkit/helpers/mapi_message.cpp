#include "vinnet/mapi_message.h"

#include <mapi.h>

#include <vector>

namespace {

const char kMailFailedCaption[] = "Mail";
const char kSendFailedText[] = "Send Mail failed to send message.";
const char kLoadFailedText[] = "Unable to load mail system support.";

// The process's one mail library and its entry point; none when either is missing.
LPMAPISENDMAIL SendFunction() {
  static const LPMAPISENDMAIL send = [] {
    HMODULE library = ::LoadLibraryA("MAPI32.DLL");
    return library ? reinterpret_cast<LPMAPISENDMAIL>(reinterpret_cast<void*>(::GetProcAddress(library, "MAPISendMail")))
                   : nullptr;
  }();
  return send;
}

// Disables the owner for the time the mail system runs, then gives it back its state.
class OwnerDisabled {
 public:
  explicit OwnerDisabled(HWND window) : window_(::IsWindow(window) ? window : nullptr) {
    if (window_) was_disabled_ = ::EnableWindow(window_, FALSE) != FALSE;
  }
  ~OwnerDisabled() {
    if (window_ && !was_disabled_) ::EnableWindow(window_, TRUE);
  }
  OwnerDisabled(const OwnerDisabled&) = delete;
  OwnerDisabled& operator=(const OwnerDisabled&) = delete;

 private:
  HWND window_;
  bool was_disabled_ = false;
};

// MAPI takes non-const texts; it reads them only.
LPSTR MapiText(const CString& text) { return text.empty() ? nullptr : const_cast<LPSTR>(text.c_str()); }

void AddRecipients(const CStringArray& names, ULONG recipient_class, std::vector<MapiRecipDesc>& recipients) {
  for (const CString& name : names) {
    MapiRecipDesc recipient = {};
    recipient.ulRecipClass = recipient_class;
    recipient.lpszName = MapiText(name);
    recipients.push_back(recipient);
  }
}

}  // namespace

CMapiMessage::CMapiMessage() {
  SendFunction();  // loads the mail library for the process
}

void CMapiMessage::Attach(const CString& path, const CString& display_name) {
  attachment_paths_.Add(path);
  attachment_names_.Add(display_name.empty() ? path.substr(path.find_last_of("\\/") + 1) : display_name);
}

int CMapiMessage::Send(HWND window, ULONG flags) {
  const LPMAPISENDMAIL send = SendFunction();
  if (!send) {
    error_ = MAPI_E_FAILURE;
    ::MessageBoxA(window, kLoadFailedText, kMailFailedCaption, MB_OK | MB_ICONEXCLAMATION);
    return 0;
  }
  std::vector<MapiRecipDesc> recipients;
  AddRecipients(to_, MAPI_TO, recipients);
  AddRecipients(cc_, MAPI_CC, recipients);
  std::vector<MapiFileDesc> files;
  for (INT_PTR i = 0; i < attachment_paths_.GetSize(); ++i) {
    MapiFileDesc file = {};
    file.nPosition = static_cast<ULONG>(-1);  // not placed inside the text
    file.lpszPathName = MapiText(attachment_paths_[i]);
    file.lpszFileName = MapiText(attachment_names_[i]);
    files.push_back(file);
  }
  MapiRecipDesc originator = {};
  originator.ulRecipClass = MAPI_ORIG;
  originator.lpszName = MapiText(from_);

  MapiMessage message = {};
  message.lpszSubject = MapiText(subject_);
  message.lpszNoteText = MapiText(text_);
  message.lpOriginator = from_.empty() ? nullptr : &originator;
  message.nRecipCount = static_cast<ULONG>(recipients.size());
  message.lpRecips = recipients.empty() ? nullptr : recipients.data();
  message.nFileCount = static_cast<ULONG>(files.size());
  message.lpFiles = files.empty() ? nullptr : files.data();
  {
    OwnerDisabled disabled(window);
    error_ = send(0, reinterpret_cast<ULONG_PTR>(window), &message, flags, 0);
  }
  if (error_ == SUCCESS_SUCCESS) return 1;
  if (error_ != MAPI_USER_ABORT && error_ != MAPI_E_LOGIN_FAILURE) {
    ::MessageBoxA(window, kSendFailedText, kMailFailedCaption, MB_OK | MB_ICONEXCLAMATION);
  }
  return 0;
}

int CMapiMessage::HasEmail() {
  static const int has_email = [] {
    char found[MAX_PATH];
    return ::GetProfileIntA("MAIL", "MAPI", 0) != 0 && ::SearchPathA(nullptr, "MAPI32.DLL", nullptr, MAX_PATH, found, nullptr) != 0
               ? 1
               : 0;
  }();
  return has_email;
}
