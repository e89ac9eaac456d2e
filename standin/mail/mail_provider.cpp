// The mail system as a test sees it: a simple-MAPI provider that writes every message it is
// handed to a journal and answers as the test asked. Wine's MAPI32.DLL hands each call to the
// default mail client named under HKLM\Software\Clients\Mail, so registering this DLL there puts
// it behind every MAPISendMail of the process.
//
// Its settings live beside its registration, under
// HKLM\Software\Clients\Mail\Halvern Stand-in Mail: "Journal" (the file to append to) and
// "Answer" (the result to give, 0 when missing).
#include <windows.h>
#include <mapi.h>

#include <cstdio>
#include <string>

#include "comsupport/registry.h"

namespace {

const char kSettingsKey[] = "Software\\Clients\\Mail\\Halvern Stand-in Mail";

// One journal line per field: control characters and backslashes written as \xNN, so that a
// body's line breaks stay inside its line.
std::string Escaped(const char* text) {
  std::string escaped;
  for (const char* at = text ? text : ""; *at; ++at) {
    const unsigned char byte = static_cast<unsigned char>(*at);
    if (byte < 0x20 || byte == '\\') {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", byte);
      escaped += hex;
    } else {
      escaped += static_cast<char>(byte);
    }
  }
  return escaped;
}

const char* RecipientClass(ULONG recipient_class) {
  switch (recipient_class) {
    case MAPI_ORIG: return "from";
    case MAPI_TO: return "to";
    case MAPI_CC: return "cc";
    case MAPI_BCC: return "bcc";
    default: return "unknown";
  }
}

std::string OwnerState(ULONG_PTR owner) {
  const HWND window = reinterpret_cast<HWND>(owner);
  if (!window) return "none";
  if (!::IsWindow(window)) return "not a window";
  return ::IsWindowEnabled(window) ? "enabled" : "disabled";
}

std::string Describe(const MapiMessage& message, ULONG_PTR owner, FLAGS flags) {
  std::string record = "message\n";
  record += "flags: " + std::to_string(flags) + "\n";
  record += "owner: " + OwnerState(owner) + "\n";
  record += "subject: " + Escaped(message.lpszSubject) + "\n";
  record += "body: " + Escaped(message.lpszNoteText) + "\n";
  if (message.lpOriginator) {
    record += std::string("recipient: from ") + Escaped(message.lpOriginator->lpszName) + " <" +
              Escaped(message.lpOriginator->lpszAddress) + ">\n";
  }
  for (ULONG i = 0; i < message.nRecipCount && message.lpRecips; ++i) {
    const MapiRecipDesc& recipient = message.lpRecips[i];
    record += std::string("recipient: ") + RecipientClass(recipient.ulRecipClass) + " " + Escaped(recipient.lpszName) +
              " <" + Escaped(recipient.lpszAddress) + ">\n";
  }
  for (ULONG i = 0; i < message.nFileCount && message.lpFiles; ++i) {
    const MapiFileDesc& file = message.lpFiles[i];
    record += "attachment: " + Escaped(file.lpszPathName) + " | " + Escaped(file.lpszFileName) + "\n";
  }
  return record + "end\n";
}

}  // namespace

extern "C" ULONG WINAPI MAPISendMail(LHANDLE, ULONG_PTR owner, lpMapiMessage message, FLAGS flags, ULONG) {
  comsupport::RegistryKey settings = comsupport::RegistryKey::Open(HKEY_LOCAL_MACHINE, kSettingsKey, KEY_READ);
  const DWORD answer = settings ? settings.ReadDword("Answer").value_or(SUCCESS_SUCCESS) : SUCCESS_SUCCESS;
  const std::string journal = settings ? settings.ReadString("Journal").value_or("") : "";
  if (!journal.empty()) {
    const std::string record = message ? Describe(*message, owner, flags) : "message\nnone\nend\n";
    if (FILE* file = std::fopen(journal.c_str(), "ab")) {
      std::fwrite(record.data(), 1, record.size(), file);
      std::fclose(file);
    }
  }
  return answer;
}
