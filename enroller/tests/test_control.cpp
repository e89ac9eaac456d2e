// A stand-in for the suite's self-registering libraries: its ProgID comes from its own file
// name ("boughs.dll" registers "Zorvane.BoughsCtrl.1"), so one build serves every test file.
#include <windows.h>
#include <olectl.h>

#include <cctype>
#include <cstdio>
#include <string>

namespace {

HMODULE g_module = nullptr;

struct Identity {
  std::string prog_id;
  std::string clsid;
  std::string module_path;
};

Identity Identify() {
  char path[MAX_PATH] = {};
  ::GetModuleFileNameA(g_module, path, MAX_PATH);
  std::string module_path = path;
  std::string stem = module_path.substr(module_path.find_last_of('\\') + 1);
  stem = stem.substr(0, stem.find('.'));
  unsigned long hash = 5381;
  for (char& c : stem) {
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    hash = hash * 33 + static_cast<unsigned char>(c);
  }
  std::string capitalised = stem;
  if (!capitalised.empty()) capitalised[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(capitalised[0])));
  char clsid[40];
  std::snprintf(clsid, sizeof clsid, "{6A1E0C3B-52D4-4E7A-9B1C-0000%08lX}", hash & 0xFFFFFFFFul);
  return {"Zorvane." + capitalised + "Ctrl.1", clsid, module_path};
}

bool SetDefault(const std::string& path, const std::string& value) {
  HKEY key = nullptr;
  if (::RegCreateKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
      ERROR_SUCCESS)
    return false;
  LONG status = ::RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                 static_cast<DWORD>(value.size() + 1));
  ::RegCloseKey(key);
  return status == ERROR_SUCCESS;
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) g_module = instance;
  return TRUE;
}

extern "C" HRESULT WINAPI DllRegisterServer() {
  Identity id = Identify();
  const std::string class_key = "CLSID\\" + id.clsid;
  bool ok = SetDefault(id.prog_id, "Enroller test control") && SetDefault(id.prog_id + "\\CLSID", id.clsid) &&
            SetDefault(class_key, "Enroller test control") && SetDefault(class_key + "\\ProgID", id.prog_id) &&
            SetDefault(class_key + "\\InprocServer32", id.module_path);
  return ok ? S_OK : SELFREG_E_CLASS;
}

extern "C" HRESULT WINAPI DllUnregisterServer() {
  Identity id = Identify();
  ::RegDeleteTreeA(HKEY_CLASSES_ROOT, id.prog_id.c_str());
  ::RegDeleteKeyA(HKEY_CLASSES_ROOT, id.prog_id.c_str());
  const std::string class_key = "CLSID\\" + id.clsid;
  ::RegDeleteTreeA(HKEY_CLASSES_ROOT, class_key.c_str());
  ::RegDeleteKeyA(HKEY_CLASSES_ROOT, class_key.c_str());
  return S_OK;
}
