#include "story_object.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <string>

#include "chanbind_resources.h"
#include "comsupport/com_error.h"
#include "dialog_thread.h"
#include "properties_dialogs.h"
#include "script_errors.h"
#include "story_client.h"

namespace chanbind {

using comsupport::ComError;
using comsupport::ComPtr;
using comsupport::Variant;

namespace {

// In-process, handler, local and remote server.
constexpr DWORD kAnyServer = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;

bool Missing(const VARIANT& value) { return value.vt == VT_EMPTY || value.vt == VT_ERROR || value.vt == VT_NULL; }

long LongOr(const VARIANT& value, long fallback) {
  if (Missing(value)) return fallback;
  Variant number;
  COMSUPPORT_CHECK(IChanbindStory, ::VariantChangeType(number.get(), const_cast<VARIANT*>(&value), 0, VT_I4));
  return number.get()->lVal;
}

}  // namespace

void* StoryObject::FindInterface(REFIID iid) {
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IChanbindStory) return static_cast<IChanbindStory*>(this);
  return nullptr;
}

long StoryObject::ColumnOf(const VARIANT& property) const {
  const VARIANT* given = &property;
  if (given->vt == (VT_BYREF | VT_VARIANT) && given->pvarVal) given = given->pvarVal;
  if (given->vt == VT_BSTR) return list_->columns().Find(given->bstrVal ? given->bstrVal : L"");
  Variant number;
  if (FAILED(::VariantChangeType(number.get(), const_cast<VARIANT*>(given), 0, VT_I4))) return -1;
  const long index = number.get()->lVal;
  return index >= 0 && index <= list_->ColumnCount() ? index : -1;
}

STDMETHODIMP StoryObject::get_Exists(VARIANT property, VARIANT_BOOL* exists) {
  if (!exists) return E_POINTER;
  *exists = VARIANT_FALSE;
  const long column = ColumnOf(property);
  if (column < 0) return S_FALSE;
  Variant value;
  StoryList::CellOf(*row_, column, list_->columns(), value.get());
  const std::wstring& title = list_->columns().Title(column);
  bool present = value.type() != VT_EMPTY && value.type() != VT_NULL;
  if (title == L"URL" || title == L"TEXT") present = value.type() == VT_BSTR && ::SysStringLen(value.get()->bstrVal) > 0;
  *exists = present ? VARIANT_TRUE : VARIANT_FALSE;
  return present ? S_OK : S_FALSE;
}

STDMETHODIMP StoryObject::get_Value(VARIANT property, VARIANT* value) {
  if (!value) return E_POINTER;
  ::VariantInit(value);
  const long column = ColumnOf(property);
  if (column < 0) return S_FALSE;
  return ScriptBoundary("IChanbindStory::Value", [&] {
    StoryList::CellOf(*row_, column, list_->columns(), value);
    GuardLocalPath(client_.get(), *row_, value);
    return S_OK;
  });
}

STDMETHODIMP StoryObject::put_Value(VARIANT property, VARIANT value) {
  Variant type(static_cast<long>(PROPERTY_ATTRIBUTE));
  return Add(property, value, *type.get());
}

STDMETHODIMP StoryObject::Add(VARIANT property, VARIANT value, VARIANT type) {
  return ScriptBoundary("IChanbindStory::Add", [&] {
    long column = -1;
    if (property.vt == VT_BSTR) {
      const long kind = LongOr(type, PROPERTY_ATTRIBUTE);
      if (kind < PROPERTY_INTERNAL || kind > PROPERTY_ATTRIBUTE) return E_INVALIDARG;
      if (!property.bstrVal || !property.bstrVal[0]) return E_INVALIDARG;
      column = list_->columns().Register(property.bstrVal ? property.bstrVal : L"", static_cast<ColumnKind>(kind));
    } else {
      column = ColumnOf(property);
      if (column < 0) return E_INVALIDARG;
    }
    if (column >= static_cast<long>(row_->cells.size())) row_->cells.resize(column + 1);
    return ::VariantCopyInd(row_->cells[column].put(), &value);
  });
}

STDMETHODIMP StoryObject::get_StoryObject(IZorvaneStory** story) {
  if (!story) return E_POINTER;
  *story = nullptr;
  return ScriptBoundary("IChanbindStory::StoryObject", [&] {
    *story = ClientStory(client_.get(), *row_).Detach();
    return S_OK;
  });
}

STDMETHODIMP StoryObject::Access(VARIANT flags, VARIANT minutes) {
  return ScriptBoundary("IChanbindStory::Access", [&] {
    const long package_id = PackageIdOf(*row_, list_->columns());
    if (!package_id) return S_FALSE;
    ComPtr<IZorvaneVessik> package = ClientPackage(client_.get(), package_id);
    if (!package) return S_FALSE;
    // Older clients' packages have no file access.
    ComPtr<IZorvaneVessik2> files = package.As<IZorvaneVessik2>();
    if (!files) return S_FALSE;
    const HRESULT hr = files->Access(LongOr(flags, FILE_ACCESS_DEFAULT), LongOr(minutes, 0));
    COMSUPPORT_CHECK(IZorvaneVessik2, hr);
    return hr;
  });
}

STDMETHODIMP StoryObject::Play(VARIANT attachment) {
  return ScriptBoundary("IChanbindStory::Play", [&] {
    if (Missing(attachment)) {
      ComPtr<IZorvaneStory> story = ClientStory(client_.get(), *row_);
      const HRESULT hr = story->Play(HandleToLong(::GetActiveWindow()), STORY_PLAY_NONE);
      COMSUPPORT_CHECK(IZorvaneStory, hr);
      return hr;
    }
    const long number = LongOr(attachment, 0);
    wchar_t title[32];
    wsprintfW(title, L"ATTACHMENT_URL_%d", static_cast<int>(number));
    const long column = list_->columns().Find(title);
    Variant address;
    if (column >= 0) StoryList::CellOf(*row_, column, list_->columns(), address.get());
    GuardLocalPath(client_.get(), *row_, address.get());
    if (address.type() == VT_BOOL) return S_FALSE;  // the user said no
    // Opening an empty name would open the current folder instead of an attachment.
    if (address.type() != VT_BSTR || ::SysStringLen(address.get()->bstrVal) == 0) {
      throw ComError(E_INVALIDARG, IID_IChanbindStory, "The story has no attachment " + std::to_string(number));
    }
    std::string target = comsupport::ToAnsi(address.get()->bstrVal, static_cast<int>(::SysStringLen(address.get()->bstrVal)));
    char path[MAX_PATH];
    DWORD length = MAX_PATH;
    if (::UrlIsFileUrlA(target.c_str()) && SUCCEEDED(::PathCreateFromUrlA(target.c_str(), path, &length, 0))) {
      target = path;
    }
    const INT_PTR result = reinterpret_cast<INT_PTR>(
        ::ShellExecuteA(::GetActiveWindow(), nullptr, target.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (result <= 32) {
      const DWORD error = ::GetLastError();
      throw ComError(error ? HRESULT_FROM_WIN32(error) : E_FAIL, IID_IChanbindStory,
                     "The attachment could not be opened: " + target);
    }
    return S_OK;
  });
}

STDMETHODIMP StoryObject::Replicate() {
  return ScriptBoundary("IChanbindStory::Replicate", [&] {
    const long column = list_->columns().Find(L"VESSIK_REPLICABLE");
    Variant replicable;
    if (column >= 0) StoryList::CellOf(*row_, column, list_->columns(), replicable.get());
    Variant flag;
    if (FAILED(::VariantChangeType(flag.get(), replicable.get(), 0, VT_BOOL)) || flag.get()->boolVal == VARIANT_FALSE) {
      return E_NOTIMPL;
    }
    const long package_id = PackageIdOf(*row_, list_->columns());
    ComPtr<IZorvaneVessik> package = package_id ? ClientPackage(client_.get(), package_id) : nullptr;
    if (!package) return S_FALSE;
    // The source is the package's channel's; a channel without one gives none.
    ComPtr<IDispatch> source;
    ComPtr<IZorvaneChannel> channel;
    COMSUPPORT_CHECK(IZorvaneVessik, package->get_Channel(channel.put()));
    if (ComPtr<IZorvaneChannelReplication> replication = channel.As<IZorvaneChannelReplication>()) {
      COMSUPPORT_CHECK(IZorvaneChannelReplication, replication->get_ReplicationSource(source.put()));
    }
    ComPtr<IZorvaneReplicator> replicator;
    COMSUPPORT_CHECK(IZorvaneReplicator, ::CoCreateInstance(CLSID_ZorvaneReplicator, nullptr, kAnyServer,
                                                            IID_IZorvaneReplicator, replicator.put_void()));
    ComPtr<IZorvaneReplication> work;
    COMSUPPORT_CHECK(IZorvaneReplicator, replicator->get_Replication(work.put()));
    COMSUPPORT_CHECK(IZorvaneReplication, work->Attach(package.get(), 0));
    long copied = 0;
    const HRESULT hr = work->Replicate(source.get(), &copied);
    COMSUPPORT_CHECK(IZorvaneReplication, hr);
    return hr;
  });
}

STDMETHODIMP StoryObject::Properties() {
  return ScriptBoundary("IChanbindStory::Properties", [&] {
    std::shared_ptr<PropertiesDialogClaim> claim = ClaimPropertiesDialog(row_->channel_id, row_->story_id);
    if (!claim) return S_FALSE;
    const long package_id = PackageIdOf(*row_, list_->columns());
    ComPtr<IZorvaneVessik> package = package_id ? ClientPackage(client_.get(), package_id) : nullptr;
    if (!package) return S_FALSE;
    // The claim goes with the thread: the dialog counts as open until the thread is done.
    const bool started = StartDialogThread(IID_IZorvaneVessik, package.get(), [claim](IUnknown* carried) {
      ComPtr<IZorvaneVessik> shown;
      if (SUCCEEDED(carried->QueryInterface(IID_IZorvaneVessik, shown.put_void()))) shown->ShowPropertiesDialog(0);
    });
    return started ? S_OK : E_UNEXPECTED;
  });
}

}  // namespace chanbind
