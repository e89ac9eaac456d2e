// Chanbind2: the control a web page creates ("Zorvane.Channels.1") to reach the client's
// channels and stories from script and to serve them to IE's data binding as a table. It has
// no visual presentation; its only window is a hidden popup that receives the client's
// notifications (posted there by the handlers) and the load timer, so that rows and events
// change on the page's thread.
//
// Ownership: the page owns the control; the control owns its channel monitor, story list, the
// four handler objects (the client holds references to them too, without owning the control)
// and its window. Apartment threaded: every member runs on the page's thread.
#pragma once

#include <windows.h>
#include <activscp.h>
#include <objsafe.h>
#include <ocidl.h>
#include <olectl.h>

#include <memory>
#include <string>

#include "chanbind.h"
#include "channel_monitor.h"
#include "comsupport/com_object.h"
#include "comsupport/com_ptr.h"
#include "comsupport/connection_points.h"
#include "comsupport/dispatch_impl.h"
#include "comsupport/handler_registration.h"
#include "comsupport/provide_class_info.h"
#include "comsupport/unique_handle.h"
#include "notification_handlers.h"
#include "page_security.h"
#include "story_list.h"

namespace chanbind {

class StoryObject;

constexpr UINT_PTR kLoadTimer = 123;
constexpr char kNotificationWindowClass[] = "ChanbindNotificationWindow";

class Chanbind
    : public comsupport::ComObject<
          comsupport::ScriptDispatchImpl<IChanbind3, &LIBID_CHANBIND2Lib>, IActiveScript,
          comsupport::DispatchImpl<IHostEnvironment, &LIBID_CHANBIND2Lib>,
          comsupport::DispatchImpl<IZrApps, &LIBID_CHANBIND2Lib>, OLEDBSimpleProvider, IOleObject, IOleControl,
          comsupport::ProvideClassInfo2Impl<&CLSID_Chanbind2, &DIID__Chanbind2Events, &LIBID_CHANBIND2Lib>,
          IOleInPlaceObjectWindowless, IPersistPropertyBag,
          comsupport::ConnectionPointContainerImpl<&DIID__Chanbind2Events, &IID_IPropertyNotifySink>, IObjectSafety,
          ISupportErrorInfo> {
 public:
  static HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** out);

  // One IDispatch for every dual interface: the control's own.
  STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* exception, UINT* argument_error) override;

  // IChanbind2
  STDMETHODIMP get_Zorvane(IZorvane4** client) override;
  STDMETHODIMP get_Channel(VARIANT index, IZorvaneChannel4_2** channel) override;
  STDMETHODIMP get_ChannelCount(long* count) override;
  STDMETHODIMP get_Channels(IChanbindChannelCollection** channels) override;
  STDMETHODIMP get_Story(long record, IChanbindStory** story) override;
  STDMETHODIMP get_length(long* length) override;
  STDMETHODIMP get_Count(long* count) override;
  STDMETHODIMP get_All(IChanbindStoryCollection** all) override;
  STDMETHODIMP get_Stories(IChanbindStoryCollection** stories) override;
  STDMETHODIMP get__NewEnum(IUnknown** enumerator) override;
  STDMETHODIMP get_Column(BSTR title, long* column) override;
  STDMETHODIMP get_Category(BSTR* category) override;
  STDMETHODIMP put_Category(BSTR category) override;
  STDMETHODIMP get_ChannelId(VARIANT* id) override;
  STDMETHODIMP put_ChannelId(VARIANT id) override;
  STDMETHODIMP get_AutoReset(VARIANT_BOOL* value) override;
  STDMETHODIMP put_AutoReset(VARIANT_BOOL value) override;
  STDMETHODIMP get_Async(VARIANT_BOOL* value) override;
  STDMETHODIMP put_Async(VARIANT_BOOL value) override;
  STDMETHODIMP get_AutoUpdate(VARIANT_BOOL* value) override;
  STDMETHODIMP put_AutoUpdate(VARIANT_BOOL value) override;
  STDMETHODIMP get_SetupEventMask(long* mask) override;
  STDMETHODIMP put_SetupEventMask(long mask) override;
  STDMETHODIMP get_ChannelEventMask(long* mask) override;
  STDMETHODIMP put_ChannelEventMask(long mask) override;
  STDMETHODIMP get_StoryEventMask(long* mask) override;
  STDMETHODIMP put_StoryEventMask(long mask) override;
  STDMETHODIMP get_Sort(BSTR* sort) override;
  STDMETHODIMP put_Sort(BSTR sort) override;
  STDMETHODIMP get_SortColumn(BSTR* column) override;
  STDMETHODIMP put_SortColumn(BSTR column) override;
  STDMETHODIMP get_SortAscending(VARIANT_BOOL* value) override;
  STDMETHODIMP put_SortAscending(VARIANT_BOOL value) override;
  STDMETHODIMP get_SortCaseSensitive(VARIANT_BOOL* value) override;
  STDMETHODIMP put_SortCaseSensitive(VARIANT_BOOL value) override;
  STDMETHODIMP get_Embellish(long* value) override;
  STDMETHODIMP put_Embellish(long value) override;
  STDMETHODIMP get_returnValue(VARIANT* value) override;
  STDMETHODIMP put_returnValue(VARIANT value) override;
  STDMETHODIMP get_TimeToDate(long time, DATE* date) override;
  STDMETHODIMP get_DateToTime(DATE date, long* time) override;
  STDMETHODIMP get_CreateObject(BSTR prog_id, IDispatch** object) override;
  STDMETHODIMP get_Valid(VARIANT_BOOL* valid) override;
  STDMETHODIMP put_Valid(VARIANT_BOOL valid) override;
  STDMETHODIMP get_ReadyState(long* state) override;
  STDMETHODIMP put_ReadyState(long state) override;
  STDMETHODIMP Reset(VARIANT read) override;
  STDMETHODIMP RefreshRows(long start, VARIANT count) override;
  STDMETHODIMP FilterRows(long start, VARIANT count) override;
  STDMETHODIMP Find(BSTR column, VARIANT value, VARIANT start, VARIANT compare, VARIANT flags, long* row) override;
  STDMETHODIMP Setup(VARIANT index) override;
  STDMETHODIMP GlobalSetup() override;
  STDMETHODIMP QuickSetup() override;
  STDMETHODIMP AlertSetup() override;
  STDMETHODIMP FilterSetup() override;
  STDMETHODIMP Client(VARIANT type) override;
  STDMETHODIMP msDataSourceObject(BSTR qualifier, IUnknown** provider) override;
  STDMETHODIMP addDataSourceListener(IUnknown* listener) override;
  // IChanbind3
  STDMETHODIMP get_TypedToVariant(VARIANT array, VARIANT* result) override;
  STDMETHODIMP get_VariantToTyped(VARIANT array, VARIANT* result) override;
  STDMETHODIMP get_Events(long* events) override;
  STDMETHODIMP put_Events(long events) override;
  STDMETHODIMP get_Apps(IDispatch** apps) override;
  STDMETHODIMP Customize(VARIANT index) override;
  STDMETHODIMP IncludeChannel(long id) override;
  STDMETHODIMP ExcludeChannel(long id) override;

  // IHostEnvironment
  STDMETHODIMP put_URL(BSTR url) override;

  // IZrApps
  STDMETHODIMP get_Installed(EZrApp app, VARIANT_BOOL* installed) override;
  STDMETHODIMP get_Enabled(EZrApp app, VARIANT_BOOL* enabled) override;
  STDMETHODIMP get_Active(EZrApp app, VARIANT_BOOL* active) override;
  STDMETHODIMP Start(EZrApp app) override;
  STDMETHODIMP Stop(EZrApp app) override;

  // IActiveScript (a stub through which a script engine hands over its site)
  STDMETHODIMP SetScriptSite(IActiveScriptSite* site) override;
  STDMETHODIMP GetScriptSite(REFIID iid, void** site) override;
  STDMETHODIMP SetScriptState(SCRIPTSTATE state) override;
  STDMETHODIMP GetScriptState(SCRIPTSTATE* state) override;
  STDMETHODIMP Close() override;
  STDMETHODIMP AddNamedItem(LPCOLESTR, DWORD) override { return S_OK; }
  STDMETHODIMP AddTypeLib(REFGUID, DWORD, DWORD, DWORD) override { return S_OK; }
  STDMETHODIMP GetScriptDispatch(LPCOLESTR, IDispatch** dispatch) override;
  STDMETHODIMP GetCurrentScriptThreadID(SCRIPTTHREADID* id) override;
  STDMETHODIMP GetScriptThreadID(DWORD, SCRIPTTHREADID* id) override;
  STDMETHODIMP GetScriptThreadState(SCRIPTTHREADID, SCRIPTTHREADSTATE* state) override;
  STDMETHODIMP InterruptScriptThread(SCRIPTTHREADID, const EXCEPINFO*, DWORD) override { return S_OK; }
  STDMETHODIMP Clone(IActiveScript** script) override;

  // OLEDBSimpleProvider
  STDMETHODIMP getRowCount(DBROWCOUNT* rows) override;
  STDMETHODIMP getColumnCount(DB_LORDINAL* columns) override;
  STDMETHODIMP getRWStatus(DBROWCOUNT row, DB_LORDINAL column, OSPRW* status) override;
  STDMETHODIMP getVariant(DBROWCOUNT row, DB_LORDINAL column, OSPFORMAT format, VARIANT* value) override;
  STDMETHODIMP setVariant(DBROWCOUNT row, DB_LORDINAL column, OSPFORMAT format, VARIANT value) override;
  STDMETHODIMP getLocale(BSTR* locale) override;
  STDMETHODIMP deleteRows(DBROWCOUNT row, DBROWCOUNT count, DBROWCOUNT* deleted) override;
  STDMETHODIMP insertRows(DBROWCOUNT row, DBROWCOUNT count, DBROWCOUNT* inserted) override;
  STDMETHODIMP find(DBROWCOUNT start, DB_LORDINAL column, VARIANT value, OSPFIND flags, OSPCOMP compare,
                    DBROWCOUNT* found) override;
  STDMETHODIMP addOLEDBSimpleProviderListener(OLEDBSimpleProviderListener* listener) override;
  STDMETHODIMP removeOLEDBSimpleProviderListener(OLEDBSimpleProviderListener* listener) override;
  STDMETHODIMP isAsync(BOOL* async) override;
  STDMETHODIMP getEstimatedRows(DBROWCOUNT* rows) override;
  STDMETHODIMP stopTransfer() override;

  // IOleObject
  STDMETHODIMP SetClientSite(IOleClientSite* site) override;
  STDMETHODIMP GetClientSite(IOleClientSite** site) override;
  STDMETHODIMP SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
  STDMETHODIMP Close(DWORD) override;
  STDMETHODIMP SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** moniker) override;
  STDMETHODIMP InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP GetClipboardData(DWORD, IDataObject** data) override;
  STDMETHODIMP DoVerb(LONG verb, LPMSG, IOleClientSite*, LONG, HWND, LPCRECT) override;
  STDMETHODIMP EnumVerbs(IEnumOLEVERB** verbs) override;
  STDMETHODIMP Update() override { return S_OK; }
  STDMETHODIMP IsUpToDate() override { return S_OK; }
  STDMETHODIMP GetUserClassID(CLSID* clsid) override;
  STDMETHODIMP GetUserType(DWORD form, LPOLESTR* type) override;
  STDMETHODIMP SetExtent(DWORD aspect, SIZEL* size) override;
  STDMETHODIMP GetExtent(DWORD aspect, SIZEL* size) override;
  STDMETHODIMP Advise(IAdviseSink*, DWORD* connection) override;
  STDMETHODIMP Unadvise(DWORD) override { return OLE_E_NOCONNECTION; }
  STDMETHODIMP EnumAdvise(IEnumSTATDATA** advise) override;
  STDMETHODIMP GetMiscStatus(DWORD aspect, DWORD* status) override;
  STDMETHODIMP SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

  // IOleControl
  STDMETHODIMP GetControlInfo(CONTROLINFO* info) override;
  STDMETHODIMP OnMnemonic(MSG*) override { return S_OK; }
  STDMETHODIMP OnAmbientPropertyChange(DISPID) override { return S_OK; }
  STDMETHODIMP FreezeEvents(BOOL) override { return S_OK; }

  // IOleWindow / IOleInPlaceObject(Windowless)
  STDMETHODIMP GetWindow(HWND* window) override;
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP InPlaceDeactivate() override;
  STDMETHODIMP UIDeactivate() override { return S_OK; }
  STDMETHODIMP SetObjectRects(LPCRECT, LPCRECT) override { return S_OK; }
  STDMETHODIMP ReactivateAndUndo() override { return E_NOTIMPL; }
  STDMETHODIMP OnWindowMessage(UINT, WPARAM, LPARAM, LRESULT* result) override;
  STDMETHODIMP GetDropTarget(IDropTarget** target) override;

  // IPersist / IPersistPropertyBag
  STDMETHODIMP GetClassID(CLSID* clsid) override;
  STDMETHODIMP InitNew() override { return S_OK; }
  STDMETHODIMP Load(IPropertyBag* bag, IErrorLog* log) override;
  STDMETHODIMP Save(IPropertyBag* bag, BOOL clear_dirty, BOOL save_all) override;

  // IObjectSafety
  STDMETHODIMP GetInterfaceSafetyOptions(REFIID iid, DWORD* supported, DWORD* enabled) override;
  STDMETHODIMP SetInterfaceSafetyOptions(REFIID iid, DWORD mask, DWORD enabled) override;

  // ISupportErrorInfo
  STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override;

  // From the notification handlers (client's call) and the notification window (page thread).
  void OnClientShutdown();
  bool PostNotification(UINT message, std::unique_ptr<Notification> notification);
  LRESULT HandleWindowMessage(UINT message, WPARAM wparam, LPARAM lparam, bool* handled);

 protected:
  void* FindInterface(REFIID iid) override;

 private:
  Chanbind();
  ~Chanbind() override;

  // Client connection (client_connection.cpp).
  IZorvane4* EnsureClient();
  void ConnectMonitor();
  void RegisterHandlers();
  void RevokeHandlers();
  bool SafeForScripting() const { return safety_ != 0; }
  bool ChannelSecure(IZorvaneChannel4_2* channel);
  void CheckClientAccess();
  ChannelSelection CurrentSelection() const;
  HRESULT Reselect();
  void DropStoryList();
  ChannelMonitor* RequireMonitor();
  void OpenDialogOnThread(REFIID iid, IUnknown* object, int dialog);

  // Property notices (control_object.cpp).
  void SetValid(bool valid);
  void SetReadyState(long state);
  void RaiseReadyStateChange(long state);
  bool EnsureWindow();

  // The table (table_loading.cpp, data_source.cpp).
  void RequireStoryList() const;
  // A story object for the script over a row (the control's client goes with it).
  StoryObject* NewStory(const std::shared_ptr<StoryList>& list, std::shared_ptr<Row> row) const;
  IChanbindStoryCollection* NewCollection(std::vector<std::shared_ptr<Row>> rows) const;
  HRESULT RunReset(bool full);
  void QueueMonitoredStories();
  long LoadStep(size_t story_budget, long row_budget);
  void FinishLoad(bool full_reset);
  void AbortLoad();
  void OnLoadTimer();
  void ApplySort(bool bracket_read_cells);
  std::wstring EffectiveSort() const;
  // -1/1 accept, 0 reject, 3 reject the rest, 2 accept the rest.
  long AskFilter(const std::shared_ptr<Row>& row);
  void NotifyReadCells(long row, bool before);
  void MarkRead(long row, long column);
  void GuardLocalPath(long row, VARIANT* value);
  std::shared_ptr<const ChannelFacts> FactsOf(IZorvaneChannel4_2* channel);
  // The notified stories of a monitored channel as the client has them now.
  std::vector<PendingStory> ReadNotifiedStories(const Notification& notification);
  void OnStoriesAdded(const Notification& notification);
  void OnStoriesChanged(const Notification& notification);
  void OnStoriesDeleted(const Notification& notification);
  void OnChannelDeleted(long channel_id);
  void RemoveRows(long first, long count, bool raise_deleted);

  // Events and notices to connected sinks.
  void Fire(DISPID id, std::vector<comsupport::Variant> arguments);
  void NoticeChanged(DISPID id);
  bool HasEventSinks();
  PageContext Page() const;

  // Properties.
  long ready_state_ = READYSTATE_LOADED;
  bool valid_ = false;
  bool auto_reset_ = true;
  bool async_ = false;
  bool async_explicit_ = false;
  bool auto_update_ = true;
  std::wstring sort_;
  std::wstring sort_column_;
  bool sort_ascending_ = true;
  bool sort_case_sensitive_ = false;
  long embellish_ = 5;
  long events_ = 0;
  long setup_event_mask_ = static_cast<long>(0xFBFDFFFF);
  long channel_event_mask_ = 0x0301103D;
  long story_event_mask_ = static_cast<long>(0xFFFFFFFF);
  comsupport::Variant channel_id_;
  std::wstring category_;
  comsupport::Variant return_value_;
  DWORD safety_ = 0;
  std::wstring host_url_;

  // Connections.
  comsupport::ComPtr<IZorvane4> client_;
  comsupport::ComPtr<ChannelMonitor> monitor_;
  comsupport::ComPtr<AppHandler> app_handler_;
  comsupport::ComPtr<SetupHandler> setup_handler_;
  comsupport::ComPtr<ChannelHandler> channel_handler_;
  comsupport::ComPtr<StoryHandler> story_handler_;
  comsupport::HandlerRegistration<IZorvane> app_registration_;
  comsupport::HandlerRegistration<IZorvaneSetup> setup_registration_;
  comsupport::HandlerRegistration<IZorvaneChannelCollection> channel_registration_;
  comsupport::HandlerRegistration<IZorvaneAllStoryCollection> story_registration_;
  comsupport::ComPtr<IActiveScriptSite> script_site_;
  comsupport::ComPtr<IOleClientSite> client_site_;
  comsupport::UniqueWindow window_;
  SIZEL extent_{0, 0};

  // The table.
  std::shared_ptr<StoryList> stories_;
  std::map<long, std::shared_ptr<const ChannelFacts>> channel_facts_;
  comsupport::ComPtr<OLEDBSimpleProviderListener> listener_;
  comsupport::ComPtr<DataSourceListener> data_source_listener_;
  long read_low_ = 0x7FFFFFFF;
  long read_high_ = static_cast<long>(0x80000000);
  std::vector<bool> read_columns_;
  bool full_reset_ = false;
  bool full_reset_done_ = false;
  long pending_loads_ = 0;
  long load_first_row_ = 0;
  bool in_filter_ = false;
};

}  // namespace chanbind
