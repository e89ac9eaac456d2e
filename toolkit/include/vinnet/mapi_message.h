// One outgoing mail, handed to the mail system through "MAPI32.DLL"'s MAPISendMail. The mail
// library is loaded once for the process (by the first message made) and stays loaded.
#pragma once

#include <windows.h>

#include "qm/collections.h"
#include "vinnet/vinnet_api.h"

class VINNET_API CMapiMessage {
 public:
  CMapiMessage();
  CMapiMessage(const CMapiMessage& other) = default;
  CMapiMessage& operator=(const CMapiMessage& other) = default;
  ~CMapiMessage() = default;

  void From(const CString& sender) { from_ = sender; }
  void To(const CString& recipient) { to_.Add(recipient); }
  void Cc(const CString& recipient) { cc_.Add(recipient); }
  void Subject(const CString& subject) { subject_ = subject; }
  void Text(const CString& text) { text_ = text; }
  // A file to attach; the display name defaults to the file's own name.
  void Attach(const CString& path, const CString& display_name = CString());

  // Hands the message to the mail system with the given MAPI flags (8: let the user edit it
  // in the mail dialog); window, when given, is disabled while the mail system runs. 1 when the
  // mail system took the message. A failure other than the user's cancel or a failed logon is
  // shown to the user.
  int Send(HWND window, ULONG flags);
  // The mail system's result of the last Send (SUCCESS_SUCCESS, MAPI_USER_ABORT...).
  ULONG Error() const { return error_; }

  // 1 when the Windows profile's [MAIL] section sets MAPI and "MAPI32.DLL" is on the search
  // path; found out once per process.
  static int HasEmail();

 private:
  CString from_;
  CString subject_;
  CString text_;
  CStringArray to_;
  CStringArray cc_;
  CStringArray attachment_paths_;
  CStringArray attachment_names_;
  ULONG error_ = 0;
};
