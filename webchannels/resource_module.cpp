#include "resource_module.h"

#include <mutex>

#include "comsupport/error_info.h"
#include "comsupport/registry.h"
#include "comsupport/this_module.h"

namespace chanbind {
namespace {

constexpr char kOverrideLocaleKey[] = "Software\\Zorvane\\Zorvane\\Settings\\OverrideLocale";

std::string Upper(std::string text) {
  for (auto& c : text) c = static_cast<char>(::toupper(static_cast<unsigned char>(c)));
  return text;
}

// Only letters make a language code: the code becomes part of a path.
bool PlainCode(const std::string& code) {
  if (code.empty()) return false;
  for (char c : code) {
    if (!::isalpha(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

}  // namespace

std::string ResourceLanguage() {
  for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
    auto key = comsupport::RegistryKey::Open(root, kOverrideLocaleKey, KEY_READ);
    if (!key) continue;
    // At most two characters and the terminator.
    auto language = key.ReadString("Language", 3);
    std::string code = language ? language->substr(0, 2) : std::string();
    return PlainCode(code) ? Upper(code) : "EN";
  }
  char abbreviation[16] = {};
  if (::GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SABBREVLANGNAME, abbreviation, sizeof abbreviation) >= 3) {
    const std::string code(abbreviation, 2);
    if (PlainCode(code)) return Upper(code);
  }
  return "EN";
}

std::string LanguageModulePath(const std::string& component_path, const std::string& language) {
  const size_t slash = component_path.find_last_of("\\/");
  const std::string directory = slash == std::string::npos ? std::string() : component_path.substr(0, slash + 1);
  std::string name = slash == std::string::npos ? component_path : component_path.substr(slash + 1);
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.resize(dot);
  return directory + language + "\\" + name + ".DLL";
}

HMODULE ResourceModule() {
  static std::once_flag once;
  static HMODULE module = nullptr;
  std::call_once(once, [] {
    module = comsupport::ThisModule();
    const std::string language = ResourceLanguage();
    if (language == "EN") return;
    char path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameA(comsupport::ThisModule(), path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    // Kept for the life of the process, as the component's own resources are.
    if (HMODULE localised = ::LoadLibraryExA(LanguageModulePath(path, language).c_str(), nullptr,
                                             LOAD_LIBRARY_AS_DATAFILE)) {
      module = localised;
    }
  });
  return module;
}

std::string ResourceString(UINT id) {
  std::string text = comsupport::LoadResourceString(id, ResourceModule());
  // A localised module that lacks a string leaves it to the component's own table.
  if (text.empty() && ResourceModule() != comsupport::ThisModule()) text = comsupport::LoadResourceString(id);
  return text;
}

}  // namespace chanbind
