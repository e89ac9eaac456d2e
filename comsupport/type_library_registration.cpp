#include "comsupport/type_library_registration.h"

#include <oleauto.h>

#include <cstdio>
#include <optional>

#include "comsupport/bstr.h"
#include "comsupport/com_error.h"
#include "comsupport/com_ptr.h"
#include "comsupport/registry.h"

namespace comsupport {

namespace {

std::string InterfaceKey(const IID& iid) { return "Interface\\" + GuidText(iid); }

// The keys of foreign interfaces as they are now, to be put back after the library's
// registration has touched them.
class ForeignKeys {
 public:
  explicit ForeignKeys(const std::vector<IID>& foreign) {
    for (const IID& iid : foreign) saved_.push_back({iid, ReadRegistryTree(HKEY_CLASSES_ROOT, InterfaceKey(iid))});
  }

  HRESULT Restore() const {
    LONG first = ERROR_SUCCESS;
    for (const Saved& saved : saved_) {
      const std::string key = InterfaceKey(saved.iid);
      LONG status = DeleteRegistryTree(HKEY_CLASSES_ROOT, key);
      if (status == ERROR_SUCCESS && saved.tree) status = WriteRegistryTree(HKEY_CLASSES_ROOT, key, *saved.tree);
      if (first == ERROR_SUCCESS) first = status;
    }
    return HRESULT_FROM_WIN32(first);
  }

 private:
  struct Saved {
    IID iid;
    std::optional<RegistryTree> tree;
  };
  std::vector<Saved> saved_;
};

HRESULT LoadLibraryAt(const std::string& path, ITypeLib** library) {
  return ::LoadTypeLibEx(ToWide(path).c_str(), REGKIND_NONE, library);
}

}  // namespace

HRESULT RegisterTypeLibrary(const std::string& path, const std::vector<IID>& foreign) {
  ComPtr<ITypeLib> library;
  HRESULT hr = LoadLibraryAt(path, library.put());
  if (FAILED(hr)) return hr;
  const ForeignKeys before(foreign);
  std::wstring wide = ToWide(path);
  hr = ::RegisterTypeLib(library.get(), &wide[0], nullptr);
  HRESULT restored = before.Restore();
  return FAILED(hr) ? hr : restored;
}

HRESULT UnregisterTypeLibrary(const std::string& path, const std::vector<IID>& foreign) {
  ComPtr<ITypeLib> library;
  HRESULT hr = LoadLibraryAt(path, library.put());
  if (FAILED(hr)) return hr;
  TLIBATTR* attributes = nullptr;
  hr = library->GetLibAttr(&attributes);
  if (FAILED(hr)) return hr;
  const TLIBATTR copy = *attributes;
  library->ReleaseTLibAttr(attributes);
  // oleaut32 answers E_INVALIDARG for a library it has no key of: nothing to do then.
  char version[32];
  std::snprintf(version, sizeof version, "\\%x.%x", copy.wMajorVerNum, copy.wMinorVerNum);
  if (!RegistryKey::Open(HKEY_CLASSES_ROOT, "TypeLib\\" + GuidText(copy.guid) + version, KEY_READ)) return S_OK;
  const ForeignKeys before(foreign);
  hr = ::UnRegisterTypeLib(copy.guid, copy.wMajorVerNum, copy.wMinorVerNum, copy.lcid, SYS_WIN32);
  HRESULT restored = before.Restore();
  if (hr == TYPE_E_REGISTRYACCESS || hr == TYPE_E_LIBNOTREGISTERED) hr = S_OK;
  return FAILED(hr) ? hr : restored;
}

}  // namespace comsupport
