#include "userconf_file.h"

#include <windows.h>

#include "comsupport/unique_handle.h"

namespace proxywriter {

std::string EscapeRegString(const std::string& text) {
  std::string escaped;
  for (char c : text) {
    if (c == '\\' || c == '"') escaped.push_back('\\');
    escaped.push_back(c);
  }
  return escaped;
}

std::string UserconfText(const std::string& proxy, const std::string& port) {
  return "REGEDIT4\n"
         "[HKEY_CURRENT_USER\\Software\\Zorvane\\Zorvane\\Communication]\n"
         "\"ConnectionType\"=dword:00000001\n"
         "\"ProtocolToUse\"=dword:00000001\n"
         "\"HTTPProxyUsed\"=dword:00000001\n"
         "\"ProxyUsed\"=dword:00000000\n"
         "\"HTTPProxyPasswordUsed\"=dword:00000000\n"
         "\"HTTPProxyAddr\"=\"" +
         EscapeRegString(proxy) + ":" + EscapeRegString(port) + "\"\n";
}

bool WriteNewTextFile(const std::string& path, const std::string& text, unsigned long* error) {
  std::string bytes;
  for (char c : text) {
    if (c == '\n') bytes.push_back('\r');
    bytes.push_back(c);
  }
  // CREATE_NEW: an existing file is left alone, even one that appears after any check.
  comsupport::UniqueHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    *error = ::GetLastError();
    return false;
  }
  DWORD written = 0;
  if (!::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
      written != bytes.size()) {
    *error = ::GetLastError();
    file.reset();
    ::DeleteFileA(path.c_str());  // a half-written import file would be worse than none
    return false;
  }
  return true;
}

}  // namespace proxywriter
