// The client's settings and dialogs, and what it tells of itself: version, workgroup,
// restrictions, replication setting, shutdown.
#include "client_objects.h"
#include "client_pointer.h"
#include "com_values.h"
#include "exports.h"
#include "operations.h"

namespace ravlin {

using comsupport::Bstr;
using comsupport::ComPtr;

namespace {

LONG ParentArgument(const RavlinCommand& command) { return static_cast<LONG>(command.arguments[0]); }

// One of the setup dialogs of the setup-dialogs interface, shown with the parent window.
template <class GetDialog>
LONG ShowSetupDialog(const RavlinCommand& command, GetDialog get_dialog) {
  ComPtr<IZorvaneSetupDialogs> dialogs = SetupOf(ThreadClient().get()).As<IZorvaneSetupDialogs>();
  ComPtr<IZorvaneDialog> dialog;
  if (!dialogs || !Ok(get_dialog(dialogs.get(), dialog.put())) || !dialog) return 0;
  VARIANT_BOOL accepted = VARIANT_FALSE;
  return Ok(dialog->Show(ParentArgument(command), &accepted)) ? 1 : 0;
}

template <class Read>
LONG ReadGeneralFlag(RavlinCommand& command, Read read) {
  int* out = PointerOf<int>(command.arguments[0]);
  ComPtr<IZorvaneGeneralSettings> general = GeneralSettingsOf(ThreadClient().get());
  VARIANT_BOOL flag = VARIANT_FALSE;
  if (!out || !general || !Ok(read(general.get(), &flag))) return 0;
  *out = flag ? 1 : 0;
  return 1;
}

template <class Write>
LONG WriteGeneralFlag(RavlinCommand& command, Write write) {
  ComPtr<IZorvaneGeneralSettings> general = GeneralSettingsOf(ThreadClient().get());
  return general && Ok(write(general.get(), command.arguments[0] ? VARIANT_TRUE : VARIANT_FALSE)) ? 1 : 0;
}

template <class Read>
LONG ReadDirectory(RavlinCommand& command, Read read) {
  QMBuffer* buffer = PointerOf<QMBuffer>(command.arguments[0]);
  ComPtr<IZorvaneGeneralSettings> general = GeneralSettingsOf(ThreadClient().get());
  Bstr path;
  if (!buffer || !general || !Ok(read(general.get(), path.put()))) return 0;
  return PutText(*buffer, path.get()) ? 1 : 0;
}

}  // namespace

// (window)
LONG GlobalOptions(RavlinCommand& command) {
  ComPtr<IZorvaneSetup> setup = SetupOf(ThreadClient().get());
  return setup && Ok(setup->ShowSetupDialog(ParentArgument(command))) ? 1 : 0;
}

LONG AlertSettings(RavlinCommand& command) {
  return ShowSetupDialog(command, [](IZorvaneSetupDialogs* d, IZorvaneDialog** out) { return d->get_AlertsDialog(out); });
}

LONG FilterSettings(RavlinCommand& command) {
  return ShowSetupDialog(command,
                         [](IZorvaneSetupDialogs* d, IZorvaneDialog** out) { return d->get_FiltersDialog(out); });
}

LONG QuickSetupOptions(RavlinCommand& command) {
  return ShowSetupDialog(command,
                         [](IZorvaneSetupDialogs* d, IZorvaneDialog** out) { return d->get_QuickSetupDialog(out); });
}

// (buffer)
LONG ProgramDirectory(RavlinCommand& command) {
  return ReadDirectory(command, [](IZorvaneGeneralSettings* g, BSTR* path) { return g->get_ProgramDirectory(path); });
}

// (buffer)
LONG DataDirectory(RavlinCommand& command) {
  return ReadDirectory(command, [](IZorvaneGeneralSettings* g, BSTR* path) { return g->get_DataDirectory(path); });
}

LONG GetAutoplayEnabled(RavlinCommand& command) {
  return ReadGeneralFlag(command, [](IZorvaneGeneralSettings* g, VARIANT_BOOL* v) { return g->get_AutoplayEnabled(v); });
}

LONG SetAutoplayEnabled(RavlinCommand& command) {
  return WriteGeneralFlag(command, [](IZorvaneGeneralSettings* g, VARIANT_BOOL v) { return g->put_AutoplayEnabled(v); });
}

LONG GetDownloadEnabled(RavlinCommand& command) {
  return ReadGeneralFlag(command, [](IZorvaneGeneralSettings* g, VARIANT_BOOL* v) { return g->get_DownloadEnabled(v); });
}

LONG SetDownloadEnabled(RavlinCommand& command) {
  return WriteGeneralFlag(command, [](IZorvaneGeneralSettings* g, VARIANT_BOOL v) { return g->put_DownloadEnabled(v); });
}

// (out restrictions)
LONG GetWorkgroupRestrictions(RavlinCommand& command) {
  auto* restrictions = PointerOf<unsigned long>(command.arguments[0]);
  ComPtr<IZorvane4> client = ThreadClient();
  LONG value = 0;
  if (!restrictions || !client || !Ok(client->get_ClientRestrictions(&value))) return 0;
  *restrictions = static_cast<unsigned long>(value);
  return 1;
}

LONG Shutdown(RavlinCommand&) {
  ComPtr<IZorvane4> client = ThreadClient();
  return client && Ok(client->Shutdown()) ? 1 : 0;
}

// (out major, out minor, out build)
LONG GetProduct(RavlinCommand& command) {
  auto* major = PointerOf<unsigned short>(command.arguments[0]);
  auto* minor = PointerOf<unsigned short>(command.arguments[1]);
  auto* build = PointerOf<unsigned long>(command.arguments[2]);
  ComPtr<IZorvane4> client = ThreadClient();
  LONG read_major = 0, read_minor = 0, read_build = 0;
  if (!major || !minor || !build || !client || !Ok(client->ClientVersion(&read_major, &read_minor, &read_build)))
    return 0;
  *major = static_cast<unsigned short>(read_major);
  *minor = static_cast<unsigned short>(read_minor);
  *build = static_cast<unsigned long>(read_build);
  return 1;
}

// (buffer)
LONG GetWorkgroup(RavlinCommand& command) {
  QMBuffer* buffer = PointerOf<QMBuffer>(command.arguments[0]);
  ComPtr<IZorvane4> client = ThreadClient();
  Bstr workgroup;
  if (!buffer || !client || !Ok(client->get_ClientWorkgroup(workgroup.put()))) return 0;
  return PutText(*buffer, workgroup.get()) ? 1 : 0;
}

// (out int)
LONG GetReplicationEnabled(RavlinCommand& command) {
  int* enabled = PointerOf<int>(command.arguments[0]);
  ComPtr<IZorvaneReplicationSettings> settings = SetupOf(ThreadClient().get()).As<IZorvaneReplicationSettings>();
  VARIANT_BOOL flag = VARIANT_FALSE;
  if (!enabled || !settings || !Ok(settings->get_ReplicationEnabled(&flag))) return 0;
  *enabled = flag ? 1 : 0;
  return 1;
}

}  // namespace ravlin

using namespace ravlin;

extern "C" int ZRGlobalOptions(HWND parent) {
  return Guarded([&] { return RunCommandFunction(kOpGlobalOptions, kOnLibraryThread, {Word(parent)}); });
}

extern "C" int ZRAlertSettings(HWND parent) {
  return Guarded([&] { return RunCommandFunction(kOpAlertSettings, kOnLibraryThread, {Word(parent)}); });
}

extern "C" int ZRFilterSettings(HWND parent) {
  return Guarded([&] { return RunCommandFunction(kOpFilterSettings, kOnLibraryThread, {Word(parent)}); });
}

extern "C" int ZRQuickSetupOptions(HWND parent) {
  return Guarded([&] { return RunCommandFunction(kOpQuickSetupOptions, kOnLibraryThread, {Word(parent)}); });
}

extern "C" int ZRGetAutoplayEnabled(int* enabled) {
  return Guarded([&] { return RunCommandFunction(kOpGetAutoplayEnabled, kInCallingThread, {Word(enabled)}); });
}

extern "C" int ZRSetAutoplayEnabled(int enabled) {
  return Guarded([&] {
    return RunCommandFunction(kOpSetAutoplayEnabled, kInCallingThread, {static_cast<DWORD>(enabled)});
  });
}

extern "C" int ZRGetDownloadEnabled(int* enabled) {
  return Guarded([&] { return RunCommandFunction(kOpGetDownloadEnabled, kInCallingThread, {Word(enabled)}); });
}

extern "C" int ZRSetDownloadEnabled(int enabled) {
  return Guarded([&] {
    return RunCommandFunction(kOpSetDownloadEnabled, kInCallingThread, {static_cast<DWORD>(enabled)});
  });
}

extern "C" int ZRGetWorkgroupRestrictions(unsigned long* restrictions) {
  return Guarded(
      [&] { return RunCommandFunction(kOpGetWorkgroupRestrictions, kInCallingThread, {Word(restrictions)}); });
}

extern "C" int ZRShutdown() {
  return Guarded([&] { return RunCommandFunction(kOpShutdown, kInCallingThread, {}); });
}

extern "C" int ZRGetProduct(unsigned short* major, unsigned short* minor, unsigned long* build) {
  return Guarded([&] {
    return RunCommandFunction(kOpGetProduct, kInCallingThread, {Word(major), Word(minor), Word(build)});
  });
}

extern "C" int ZRGetWorkgroup(QMBuffer& workgroup) {
  return Guarded([&] { return RunCommandFunction(kOpGetWorkgroup, kInCallingThread, {Word(&workgroup)}); });
}

extern "C" int ZRGetReplicationEnabled(int* enabled) {
  return Guarded([&] { return RunCommandFunction(kOpGetReplicationEnabled, kInCallingThread, {Word(enabled)}); });
}
