#include "extensions.h"

#include <string>
#include <vector>

#include "comsupport/bstr.h"
#include "comsupport/unique_handle.h"

namespace standin {

namespace {

std::vector<std::string> ListedClasses() {
  std::vector<std::string> names;
  comsupport::UniqueHkey key;
  if (::RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Zorvane\\ClientExtensions", 0, KEY_ENUMERATE_SUB_KEYS,
                      key.put()) != ERROR_SUCCESS)
    return names;
  char name[256];
  for (DWORD index = 0;; ++index) {
    DWORD length = sizeof name;
    LONG result = ::RegEnumKeyExA(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (result != ERROR_SUCCESS) break;
    names.emplace_back(name, length);
  }
  return names;
}

}  // namespace

void StartExtensions(Client& client) {
  for (const std::string& name : ListedClasses()) {
    ExtensionRecord record;
    record.clsid = name;
    CLSID clsid;
    std::wstring wide = comsupport::ToWide(name);
    record.created = ::CLSIDFromString(wide.c_str(), &clsid);
    if (SUCCEEDED(record.created)) {
      record.created = ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IClientExt,
                                          record.extension.put_void());
    }
    // Start's result is the extension's affair; it is only recorded for the control interface.
    if (SUCCEEDED(record.created)) record.started = record.extension->Start();
    comsupport::CriticalSectionGuard guard(client.lock());
    client.extensions().push_back(std::move(record));
  }
}

void ReleaseExtensions(Client& client) {
  std::vector<comsupport::ComPtr<IClientExt>> released;
  {
    comsupport::CriticalSectionGuard guard(client.lock());
    for (ExtensionRecord& record : client.extensions()) released.push_back(std::move(record.extension));
  }
  released.clear();  // outside the lock: an extension may call the client while it goes
}

}  // namespace standin
