#include "controls/control_module.h"

#include <comcat.h>
#include <olectl.h>

#include "comsupport/apartment.h"
#include "comsupport/boundary.h"
#include "comsupport/com_error.h"
#include "comsupport/com_ptr.h"
#include "comsupport/registrar.h"
#include "comsupport/this_module.h"
#include "comsupport/type_library_registration.h"

namespace controls {

const CATID kCatidSafeForScripting = {0x7DD95801, 0x9882, 0x11CF, {0x9F, 0xA9, 0x00, 0xAA, 0x00, 0x6C, 0x42, 0xC4}};
const CATID kCatidSafeForInitializing = {0x7DD95802, 0x9882, 0x11CF, {0x9F, 0xA9, 0x00, 0xAA, 0x00, 0x6C, 0x42, 0xC4}};

namespace {

// The platform's category manager writes "Component Categories\{catid}" with its "409"
// description and the class's "Implemented Categories" keys.
HRESULT MarkSafeCategories(REFCLSID clsid) {
  comsupport::ComPtr<ICatRegister> categories;
  HRESULT hr = ::CoCreateInstance(CLSID_StdComponentCategoriesMgr, nullptr, CLSCTX_INPROC_SERVER, IID_ICatRegister,
                                  categories.put_void());
  if (FAILED(hr)) return hr;
  CATEGORYINFO info[2] = {};
  info[0].catid = kCatidSafeForScripting;
  info[0].lcid = 0x409;
  ::lstrcpynW(info[0].szDescription, L"Controls that are safely scriptable", 128);
  info[1].catid = kCatidSafeForInitializing;
  info[1].lcid = 0x409;
  ::lstrcpynW(info[1].szDescription, L"Controls safely initializable from persistent data", 128);
  hr = categories->RegisterCategories(2, info);
  if (FAILED(hr)) return hr;
  CATID implemented[2] = {kCatidSafeForScripting, kCatidSafeForInitializing};
  return categories->RegisterClassImplCategories(clsid, 2, implemented);
}

// The class's own marks go with its key; the categories themselves stay for other controls.
HRESULT UnmarkSafeCategories(REFCLSID clsid) {
  comsupport::ComPtr<ICatRegister> categories;
  HRESULT hr = ::CoCreateInstance(CLSID_StdComponentCategoriesMgr, nullptr, CLSCTX_INPROC_SERVER, IID_ICatRegister,
                                  categories.put_void());
  if (FAILED(hr)) return hr;
  CATID implemented[2] = {kCatidSafeForScripting, kCatidSafeForInitializing};
  hr = categories->UnRegisterClassImplCategories(clsid, 2, implemented);
  // The manager leaves the emptied key, which would keep the class key alive; one still
  // holding another category is not deleted.
  const std::string marks = "CLSID\\" + comsupport::GuidText(clsid) + "\\Implemented Categories";
  ::RegDeleteKeyA(HKEY_CLASSES_ROOT, marks.c_str());
  return hr;
}

}  // namespace

HRESULT RegisterControlModule(const comsupport::InprocServer& server, const ControlClass& control) {
  return comsupport::ComBoundary("DllRegisterServer", [&]() -> HRESULT {
    const comsupport::ApartmentGuard apartment;
    const std::string path = comsupport::ModulePath(comsupport::ThisModule());
    if (FAILED(comsupport::RegisterTypeLibrary(path, server.foreign_interfaces))) return SELFREG_E_TYPELIB;
    if (FAILED(comsupport::RunRegistryScript(path, server.registry_script, true, server.replacements))) {
      return SELFREG_E_CLASS;
    }
    return SUCCEEDED(MarkSafeCategories(*control.clsid)) ? S_OK : E_FAIL;
  });
}

HRESULT UnregisterControlModule(const comsupport::InprocServer& server, const ControlClass& control) {
  return comsupport::ComBoundary("DllUnregisterServer", [&]() -> HRESULT {
    const comsupport::ApartmentGuard apartment;
    const std::string path = comsupport::ModulePath(comsupport::ThisModule());
    if (FAILED(comsupport::UnregisterTypeLibrary(path, server.foreign_interfaces))) return SELFREG_E_TYPELIB;
    UnmarkSafeCategories(*control.clsid);
    if (FAILED(comsupport::RunRegistryScript(path, server.registry_script, false, server.replacements))) {
      return SELFREG_E_CLASS;
    }
    return S_OK;
  });
}

}  // namespace controls
