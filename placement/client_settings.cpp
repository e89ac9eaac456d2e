#include "client_settings.h"

#include <windows.h>
#include <ole2.h>

#include <string>

#include "comsupport/bstr.h"
#include "comsupport/com_error.h"
#include "comsupport/com_ptr.h"
#include "zorvane.h"

namespace placement {

namespace {

using comsupport::ComError;
using comsupport::ComPtr;
using comsupport::ThrowIfFailed;
using comsupport::Variant;

class ComApartment {
 public:
  ComApartment() { ThrowIfFailed(::CoInitialize(nullptr), IID_NULL); }
  ~ComApartment() { ::CoUninitialize(); }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
};

// A call that succeeded without handing out an object.
template <class T>
void RequireObject(const ComPtr<T>& object, const IID& caller, const char* what) {
  if (!object) throw ComError(E_POINTER, caller, std::string("the client gave no ") + what);
}

ComPtr<IZorvane> CreateClient() {
  CLSID clsid;
  HRESULT hr = ::CLSIDFromProgID(L"Zorvane", &clsid);
  if (FAILED(hr)) throw ComError(hr, IID_NULL, "no class is registered for the ProgID \"Zorvane\"");
  // E_NOINTERFACE leaves no object either, so every failure ends here.
  ComPtr<IUnknown> unknown;
  ThrowIfFailed(::CoCreateInstance(clsid, nullptr,
                                   CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER,
                                   IID_IUnknown, unknown.put_void()),
                IID_IUnknown);
  RequireObject(unknown, IID_IUnknown, "application object");
  ThrowIfFailed(::OleRun(unknown.get()), IID_IRunnableObject);
  HRESULT query = S_OK;
  ComPtr<IZorvane> client = unknown.As<IZorvane>(&query);
  ThrowIfFailed(query, __uuidof(IZorvane));
  RequireObject(client, __uuidof(IZorvane), "IZorvane");
  return client;
}

std::string ReadVariable(IZorvaneChannelVariableCollection& variables, const char* name) {
  ComPtr<IZorvaneChannelVariable> variable;
  Variant index{std::string(name)};
  if (FAILED(variables.get_Item(*index.get(), variable.put())) || !variable) return std::string();
  Variant value;
  COMSUPPORT_CHECK(IZorvaneChannelVariable, variable->get_Value(value.put()));
  // VT_EMPTY is an empty text; VT_NULL is no text at all and, like a value that cannot become
  // one, leaves the settings unreadable rather than quietly turning placement off.
  std::string text;
  if (!value.ToText(text)) {
    throw ComError(DISP_E_TYPEMISMATCH, __uuidof(IZorvaneChannelVariable),
                   std::string("the value of \"") + name + "\" is not text");
  }
  return text;
}

}  // namespace

PlacementSettings ReadPlacementSettings() {
  ComApartment apartment;
  ComPtr<IZorvane> client = CreateClient();

  ComPtr<IZorvaneChannelCollection> channels;
  COMSUPPORT_CHECK(IZorvane, client->get_Channels(channels.put()));
  RequireObject(channels, __uuidof(IZorvane), "channel collection");

  ComPtr<IZorvaneChannel> channel;
  Variant kelvane{std::string("n:Kelvane")};
  COMSUPPORT_CHECK(IZorvaneChannelCollection, channels->get_Item(*kelvane.get(), channel.put()));
  RequireObject(channel, __uuidof(IZorvaneChannelCollection), "Kelvane channel");

  ComPtr<IZorvaneChannelVariableCollection> variables;
  COMSUPPORT_CHECK(IZorvaneChannel, channel->get_Variables(variables.put()));
  RequireObject(variables, __uuidof(IZorvaneChannel), "variable collection");

  const std::string mirror_flag = ReadVariable(*variables.get(), "mirrortreeflag");
  const std::string target_directory = ReadVariable(*variables.get(), "targetdirectory");
  return MakePlacementSettings(target_directory, mirror_flag);
}

}  // namespace placement
