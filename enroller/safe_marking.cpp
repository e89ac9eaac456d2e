#include "safe_marking.h"

#include <windows.h>

#include <optional>

#include "comsupport/unique_handle.h"

namespace enroller {

namespace {

using comsupport::UniqueHkey;

const char* const kSafeCategories[] = {
    "{7DD95801-9882-11CF-9FA9-00AA006C42C4}",  // safe for scripting
    "{7DD95802-9882-11CF-9FA9-00AA006C42C4}",  // safe for initialising
};

// Only a braced GUID may become part of a key path; anything else would write elsewhere.
bool LooksLikeClsid(const std::string& text) {
  return text.size() == 38 && text.front() == '{' && text.back() == '}' &&
         text.find('\\') == std::string::npos;
}

std::optional<std::string> ReadDefaultString(HKEY key) {
  char buffer[MAX_PATH + 1] = {};
  DWORD size = MAX_PATH;
  DWORD type = 0;
  if (::RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS ||
      type != REG_SZ)
    return std::nullopt;
  return std::string(buffer);
}

}  // namespace

void MarkControlSafe(InstallLog& log, const std::string& prog_id) {
  const std::string clsid_key = "SOFTWARE\\Classes\\" + prog_id + "\\Clsid";
  UniqueHkey key;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, clsid_key.c_str(), 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS) {
    log.Line("Unable to open " + clsid_key);
    return;
  }
  std::optional<std::string> clsid = ReadDefaultString(key.get());
  if (!clsid || !LooksLikeClsid(*clsid)) {
    log.Line("Unable to get value for key " + clsid_key);
    return;
  }
  for (const char* category : kSafeCategories) {
    const std::string category_key = "CLSID\\" + *clsid + "\\Implemented Categories\\" + category;
    UniqueHkey created;
    if (::RegCreateKeyExA(HKEY_CLASSES_ROOT, category_key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                          created.put(), nullptr) != ERROR_SUCCESS) {
      log.Line("Unable to create key " + category_key);
      return;
    }
  }
}

bool SetSiteMarker(InstallLog& log, SetValueFunction set_value) {
  UniqueHkey key;
  if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Zorvane\\Zorvane\\IE\\Secure", 0, nullptr, 0, KEY_WRITE,
                        nullptr, key.put(), nullptr) != ERROR_SUCCESS) {
    log.Line("Unable to create key for secure");
    return false;
  }
  static const char kAnySite[] = "*";
  if (set_value(key.get(), "site", 0, REG_SZ, reinterpret_cast<const BYTE*>(kAnySite), sizeof kAnySite) !=
      ERROR_SUCCESS) {
    log.Line("Unable to set value for key secure");
    return false;
  }
  return true;
}

}  // namespace enroller
