#include "registry_step.h"

#include <winsock2.h>
#include <windows.h>

#include <vector>

#include "comsupport/registry.h"
#include "text_list.h"

namespace installer {

namespace {

HKEY RootNamed(const std::string& name) {
  if (EqualsNoCase(name, "HKCR")) return HKEY_CLASSES_ROOT;
  if (EqualsNoCase(name, "HKCU")) return HKEY_CURRENT_USER;
  if (EqualsNoCase(name, "HKLM")) return HKEY_LOCAL_MACHINE;
  if (EqualsNoCase(name, "HKU")) return HKEY_USERS;
  return nullptr;
}

}  // namespace

bool ApplyRegistryLine(const std::string& line, std::string* error) {
  // root "," key "," value name "=" type "," data
  size_t first = line.find(',');
  size_t second = first == std::string::npos ? first : line.find(',', first + 1);
  size_t equals = second == std::string::npos ? second : line.find('=', second + 1);
  size_t third = equals == std::string::npos ? equals : line.find(',', equals + 1);
  if (third == std::string::npos) {
    *error = "malformed registry line: " + line;
    return false;
  }
  HKEY root = RootNamed(Trim(line.substr(0, first)));
  if (!root) {
    *error = "unknown registry root in: " + line;
    return false;
  }
  std::string key_path = Trim(line.substr(first + 1, second - first - 1));
  std::string value_name = Trim(line.substr(second + 1, equals - second - 1));
  std::string type = Trim(line.substr(equals + 1, third - equals - 1));
  std::string data = line.substr(third + 1);
  LONG status = ERROR_SUCCESS;
  auto key = comsupport::RegistryKey::Create(root, key_path, KEY_SET_VALUE, &status);
  if (!key) {
    *error = "cannot create key " + key_path + " (" + std::to_string(status) + ")";
    return false;
  }
  if (!type.empty() && (type[0] == 'n' || type[0] == 'N')) {
    status = key.WriteDword(value_name.c_str(), static_cast<DWORD>(std::strtoul(Trim(data).c_str(), nullptr, 10)));
  } else {
    status = key.WriteString(value_name.c_str(), data);
  }
  if (status != ERROR_SUCCESS) {
    *error = "cannot write " + value_name + " (" + std::to_string(status) + ")";
    return false;
  }
  return true;
}

bool ApplyRegistryStep(const std::string& step, const std::string& description_path,
                       const std::string& source_directory, std::string* error) {
  size_t at = step.find('@');
  std::string section = Trim(step.substr(0, at));
  std::string file = description_path;
  if (at != std::string::npos) {
    file = Trim(step.substr(at + 1));
    bool absolute = file.size() > 1 && (file[1] == ':' || file[0] == '\\');
    if (!absolute) file = JoinPath(source_directory, file);
  }
  std::vector<char> text(16384);
  DWORD length = ::GetPrivateProfileSectionA(section.c_str(), text.data(), static_cast<DWORD>(text.size()), file.c_str());
  for (DWORD start = 0; start < length;) {
    std::string line(text.data() + start);
    start += static_cast<DWORD>(line.size()) + 1;
    if (line.empty() || line[0] == ';') continue;
    if (!ApplyRegistryLine(line, error)) return false;
  }
  return true;
}

}  // namespace installer
