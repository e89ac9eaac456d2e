#include "base64.h"

#include <winsock2.h>
#include <windows.h>
#include <wincrypt.h>

#include <vector>

namespace installer {

std::string Base64(const std::string& bytes) {
  if (bytes.empty()) return "";
  const DWORD flags = CRYPT_STRING_BASE64 | CRYPT_STRING_NOCRLF;
  DWORD length = 0;
  if (!::CryptBinaryToStringA(reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()), flags,
                              nullptr, &length))
    return "";
  std::vector<char> text(length + 1);
  if (!::CryptBinaryToStringA(reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()), flags,
                              text.data(), &length))
    return "";
  std::string result(text.data());
  // Some versions end the text with a line break even when asked not to.
  while (!result.empty() && (result.back() == '\r' || result.back() == '\n')) result.pop_back();
  return result;
}

}  // namespace installer
