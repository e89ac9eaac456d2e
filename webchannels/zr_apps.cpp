// The companion applications of the client (IZrApps): installed and enabled as the client's
// component keys say, active when their main window exists, started from the client's program
// folder and stopped by closing that window.
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "chanbind_control.h"
#include "chanbind_resources.h"
#include "comsupport/bstr.h"
#include "comsupport/error_info.h"
#include "comsupport/unique_handle.h"
#include "script_errors.h"

namespace chanbind {

namespace {

constexpr long kLastApp = TUNMOOR_APP;
constexpr char kComponentsKey[] = "SOFTWARE\\Zorvane\\Zorvane\\Public\\Components\\";

// Item app of the comma-separated string resource id; empty when absent.
std::string ListItem(UINT id, long app) {
  const std::string text = comsupport::LoadResourceString(id);
  size_t start = 0;
  for (long index = 0; index < 64 && start <= text.size(); ++index) {
    size_t comma = text.find(',', start);
    if (comma == std::string::npos) comma = text.size();
    if (index == app) return text.substr(start, comma - start);
    start = comma + 1;
  }
  return {};
}

HWND AppWindow(long app) {
  const std::string window_class = ListItem(IDS_APP_WINDOW_CLASSES, app);
  if (window_class.empty() || window_class == "null") return nullptr;
  return ::FindWindowA(window_class.c_str(), nullptr);
}

HRESULT Answer(bool yes, VARIANT_BOOL* out) {
  *out = yes ? VARIANT_TRUE : VARIANT_FALSE;
  return yes ? S_OK : S_FALSE;
}

}  // namespace

STDMETHODIMP Chanbind::get_Installed(EZrApp app, VARIANT_BOOL* installed) {
  if (!installed) return E_POINTER;
  *installed = VARIANT_FALSE;
  if (app < 0 || app > kLastApp) return E_INVALIDARG;
  const std::string key = kComponentsKey + ListItem(IDS_APP_COMPONENT_KEYS, app);
  HKEY opened = nullptr;
  const bool found = ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &opened) == ERROR_SUCCESS;
  comsupport::UniqueHkey owner(opened);
  return Answer(found, installed);
}

STDMETHODIMP Chanbind::get_Enabled(EZrApp app, VARIANT_BOOL* enabled) {
  if (!enabled) return E_POINTER;
  *enabled = VARIANT_FALSE;
  if (app < 0 || app > kLastApp) return E_INVALIDARG;
  const std::string key = kComponentsKey + ListItem(IDS_APP_COMPONENT_KEYS, app);
  HKEY opened = nullptr;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) {
    return Answer(false, enabled);
  }
  comsupport::UniqueHkey owner(opened);
  DWORD value = 0, size = sizeof value, type = 0;
  const bool on = ::RegQueryValueExA(opened, "enable", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) ==
                      ERROR_SUCCESS &&
                  type == REG_DWORD && value != 0;
  return Answer(on, enabled);
}

STDMETHODIMP Chanbind::get_Active(EZrApp app, VARIANT_BOOL* active) {
  if (!active) return E_POINTER;
  *active = VARIANT_FALSE;
  if (app < 0 || app > kLastApp) return E_INVALIDARG;
  if (app == QUILLET_APP || app > SABREK_APP) return Answer(false, active);
  return Answer(AppWindow(app) != nullptr, active);
}

STDMETHODIMP Chanbind::Start(EZrApp app) {
  return ScriptBoundary("Chanbind::Start", [&] {
    if (app < 0 || app > SABREK_APP) Raise(IDS_APP_NOT_INSTALLED);
    comsupport::ComPtr<IZorvaneSetup> setup;
    COMSUPPORT_CHECK(IZorvane, EnsureClient()->get_Setup(setup.put()));
    comsupport::ComPtr<IZorvaneGeneralSettings> general;
    COMSUPPORT_CHECK(IZorvaneSetup, setup->get_General(general.put()));
    comsupport::Bstr directory;
    COMSUPPORT_CHECK(IZorvaneGeneralSettings, general->get_ProgramDirectory(directory.put()));
    std::string path = directory.Ansi();
    if (!path.empty() && path.back() != '\\') path += '\\';
    const std::string quoted = "\"" + path + ListItem(IDS_APP_PROGRAM_FILES, app) + "\"";
    const auto result = reinterpret_cast<INT_PTR>(
        ::ShellExecuteA(nullptr, nullptr, quoted.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (result <= 32) Raise(IDS_APP_NOT_INSTALLED);
  });
}

STDMETHODIMP Chanbind::Stop(EZrApp app) {
  return ScriptBoundary("Chanbind::Stop", [&] {
    if (app < 0 || app == QUILLET_APP || app > SABREK_APP) Raise(IDS_APP_NOT_INSTALLED);
    HWND window = AppWindow(app);
    if (!window) return;
    HWND popup = ::GetLastActivePopup(window);
    if (popup && popup != window) ::PostMessageA(popup, WM_CLOSE, 0, 0);
    ::PostMessageA(window, WM_CLOSE, 0, 0);
  });
}

}  // namespace chanbind
