#include <mshtml.h>
#include <exdisp.h>

#include "address_rules.h"
#include "comsupport/bstr.h"
#include "comsupport/com_ptr.h"
#include "comsupport/registry.h"
#include "page_security.h"

namespace chanbind {
namespace {

using comsupport::Bstr;
using comsupport::ComPtr;

constexpr char kSecureKey[] = "Software\\Zorvane\\Zorvane\\IE\\Secure";
// Declared here: mingw's import libraries do not carry every IID that mshtml.h names.
constexpr IID kIidHtmlDocument2 = {0x332C4425, 0x26CB, 0x11D0, {0xB4, 0x83, 0x00, 0xC0, 0x4F, 0xD9, 0x01, 0x19}};
constexpr IID kIidWebBrowserApp = {0x0002DF05, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

std::wstring DocumentUrl(IUnknown* document) {
  ComPtr<IHTMLDocument2> html;
  if (!document || FAILED(document->QueryInterface(kIidHtmlDocument2, html.put_void())) || !html) return {};
  Bstr url;
  if (FAILED(html->get_URL(url.put())) || !url.get()) return {};
  return url.get();
}

ComPtr<IDispatch> Property(IDispatch* object, const wchar_t* name) {
  ComPtr<IDispatch> result;
  if (!object) return result;
  DISPID id = 0;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  if (FAILED(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) return result;
  DISPPARAMS none{};
  comsupport::Variant value;
  if (FAILED(object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, value.get(), nullptr,
                            nullptr))) {
    return result;
  }
  if (value.type() == VT_DISPATCH && value.get()->pdispVal) result = ComPtr<IDispatch>(value.get()->pdispVal);
  return result;
}

std::wstring ScriptedHref(IDispatch* document) {
  ComPtr<IDispatch> location = Property(Property(document, L"window").get(), L"location");
  if (!location) return {};
  DISPID id = 0;
  LPOLESTR names[] = {const_cast<LPOLESTR>(L"href")};
  if (FAILED(location->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) return {};
  DISPPARAMS none{};
  comsupport::Variant value;
  if (FAILED(location->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, value.get(), nullptr,
                              nullptr)) ||
      value.type() != VT_BSTR || !value.get()->bstrVal) {
    return {};
  }
  return value.get()->bstrVal;
}

std::wstring ProgramDirectoryUrl(IZorvane4* client) {
  if (!client) return {};
  ComPtr<IZorvaneSetup> setup;
  ComPtr<IZorvaneGeneralSettings> general;
  Bstr directory;
  if (FAILED(client->get_Setup(setup.put())) || !setup || FAILED(setup->get_General(general.put())) || !general ||
      FAILED(general->get_ProgramDirectory(directory.put())) || !directory.get()) {
    return {};
  }
  std::wstring path = directory.get();
  if (path.empty()) return {};
  if (path.back() != L'\\' && path.back() != L'/') path += L'\\';
  return PathToUrl(path);
}

bool EntryAdmits(const std::wstring& entry, const std::wstring& address,
                 const std::function<std::wstring()>& program_directory_url) {
  static const wchar_t kClientScheme[] = L"zorvane:";
  if (_wcsnicmp(entry.c_str(), kClientScheme, 8) == 0) {
    const std::wstring directory = program_directory_url ? program_directory_url() : std::wstring();
    if (directory.empty()) return false;
    std::wstring rest = entry.substr(8);
    const size_t start = rest.find_first_not_of(L"/\\");
    rest = start == std::wstring::npos ? std::wstring() : rest.substr(start);
    return AddressInside(address, directory + rest);
  }
  return SecureEntryMatches(entry, address);
}

}  // namespace

std::wstring PageAddress(const PageContext& page) {
  if (page.site) {
    ComPtr<IOleContainer> container;
    if (SUCCEEDED(page.site->GetContainer(container.put())) && container) {
      std::wstring url = DocumentUrl(container.get());
      if (!url.empty()) return url;
    }
    ComPtr<IServiceProvider> services;
    if (SUCCEEDED(page.site->QueryInterface(IID_IServiceProvider, services.put_void())) && services) {
      ComPtr<IWebBrowserApp> browser;
      if (SUCCEEDED(services->QueryService(kIidWebBrowserApp, kIidWebBrowserApp, browser.put_void())) && browser) {
        ComPtr<IDispatch> document;
        if (SUCCEEDED(browser->get_Document(document.put())) && document) {
          std::wstring url = DocumentUrl(document.get());
          if (!url.empty()) return url;
        }
      }
    }
    if (container) {
      ComPtr<IDispatch> document;
      if (SUCCEEDED(container->QueryInterface(IID_IDispatch, document.put_void())) && document) {
        std::wstring url = ScriptedHref(document.get());
        if (!url.empty()) return url;
      }
    }
  }
  return page.host_url;
}

bool SecureListsAdmit(const std::wstring& address, const std::function<std::wstring()>& program_directory_url) {
  for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
    auto key = comsupport::RegistryKey::Open(root, kSecureKey, KEY_READ);
    if (!key) continue;
    for (const std::string& name : key.ValueNames()) {
      if (EntryAdmits(comsupport::ToWide(name), address, program_directory_url)) return true;
    }
  }
  return false;
}

bool SecurePageListsAdmit(const PageContext& page, IZorvaneChannel4_2* channel) {
  const std::wstring address = PageAddress(page);
  if (channel && !address.empty()) {
    Bstr directory;
    if (SUCCEEDED(channel->get_Directory(directory.put())) && directory.get() && *directory.get() &&
        AddressInside(address, directory.get())) {
      return true;
    }
  }
  // "*" admits even a page whose address is unknown; other entries need an address.
  std::wstring program_directory;
  bool asked = false;
  return SecureListsAdmit(address, [&] {
    if (!asked) {
      asked = true;
      program_directory = ProgramDirectoryUrl(page.client ? page.client() : nullptr);
    }
    return program_directory;
  });
}

}  // namespace chanbind
