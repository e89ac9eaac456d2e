// Vessiks: user interaction, playing, size, properties dialog, access to the files and the
// authentication of unsigned packages.
#include "client_objects.h"
#include "client_pointer.h"
#include "com_values.h"
#include "exports.h"
#include "messages.h"
#include "operations.h"
#include "resource.h"

namespace ravlin {

using comsupport::ComPtr;

namespace {

constexpr HRESULT kMediumFull = static_cast<HRESULT>(0x80030070);  // STG_E_MEDIUMFULL

ComPtr<IZorvaneVessik> VessikArgument(const RavlinCommand& command, int channel_word) {
  return FindVessik(ThreadClient().get(), command.arguments[channel_word], command.arguments[channel_word + 1]);
}

}  // namespace

// (channel id, Vessik id, value)
LONG RecordUserInteraction(RavlinCommand& command) {
  ComPtr<IZorvaneVessik3> extras = VessikArgument(command, 0).As<IZorvaneVessik3>();
  return extras && Ok(extras->RecordUserInteraction(static_cast<LONG>(command.arguments[2]))) ? 1 : 0;
}

// (channel id, Vessik id)
LONG PlayVessik(RavlinCommand& command) {
  ComPtr<IZorvaneVessik> vessik = VessikArgument(command, 0);
  return vessik && Ok(vessik->Play()) ? 1 : 0;
}

// (channel id, Vessik id, out size)
LONG GetVessikSize(RavlinCommand& command) {
  auto* size = PointerOf<unsigned long>(command.arguments[2]);
  ComPtr<IZorvaneVessik> vessik = VessikArgument(command, 0);
  LONG bytes = 0;
  if (!size || !vessik || !Ok(vessik->get_Size(&bytes))) return 0;
  *size = static_cast<unsigned long>(bytes);
  return 1;
}

// (window, channel id, Vessik id)
LONG ShowVessikProperties(RavlinCommand& command) {
  ComPtr<IZorvaneVessik> vessik = VessikArgument(command, 1);
  return vessik && Ok(vessik->ShowPropertiesDialog(static_cast<LONG>(command.arguments[0]))) ? 1 : 0;
}

// (channel id, Vessik id, minutes)
LONG AccessVessik(RavlinCommand& command) {
  ComPtr<IZorvaneVessik2> files = VessikArgument(command, 0).As<IZorvaneVessik2>();
  if (!files) return 0;
  HRESULT hr = files->Access(FILE_ACCESS_DEFAULT, static_cast<LONG>(command.arguments[2]));
  if (hr == kMediumFull) ShowMessage(nullptr, IDS_INSUFFICIENT_DISK_SPACE, MB_OK | MB_ICONEXCLAMATION);
  return Ok(hr) ? 1 : 0;
}

// (window, channel id, Vessik id, out approved); the result word stays 0
LONG AuthenticateVessik(RavlinCommand& command) {
  int* approved = PointerOf<int>(command.arguments[3]);
  if (!approved) return 0;
  *approved = 0;
  ComPtr<IZorvaneVessik3> extras = VessikArgument(command, 1).As<IZorvaneVessik3>();
  EVessikAuthenticationState state = VESSIK_AUTH_UNKNOWN;
  if (!extras || !Ok(extras->get_AuthenticationState(&state))) return 0;
  if (state == VESSIK_AUTH_APPROVED) {
    *approved = 1;
  } else if (state == VESSIK_AUTH_NEEDS_APPROVAL) {
    ComPtr<IZorvaneDialog> dialog;
    if (!Ok(extras->get_ApprovalDialog(dialog.put())) || !dialog) return 0;
    if (!Ok(dialog->put_Caption(BstrOf(LoadMessage(IDS_APPROVAL_TITLE).c_str()).get()))) return 0;
    VARIANT_BOOL accepted = VARIANT_FALSE;
    if (Ok(dialog->Show(static_cast<LONG>(command.arguments[0]), &accepted)) && accepted) *approved = 1;
  }
  return 0;
}

}  // namespace ravlin

using namespace ravlin;

extern "C" int ZRRecordUserInteraction(DWORD channel_id, DWORD vessik_id, long value) {
  return Guarded([&] {
    return RunCommandFunction(kOpRecordUserInteraction, kInCallingThread,
                              {channel_id, vessik_id, static_cast<DWORD>(value)});
  });
}

extern "C" int ZRPlayVessik(DWORD channel_id, DWORD vessik_id) {
  return Guarded([&] { return RunCommandFunction(kOpPlayVessik, kInCallingThread, {channel_id, vessik_id}); });
}

extern "C" int ZRGetVessikSize(DWORD channel_id, DWORD vessik_id, unsigned long* size) {
  return Guarded(
      [&] { return RunCommandFunction(kOpGetVessikSize, kInCallingThread, {channel_id, vessik_id, Word(size)}); });
}

extern "C" int ZRShowVessikProperties(HWND parent, DWORD channel_id, DWORD vessik_id) {
  return Guarded([&] {
    return RunCommandFunction(kOpShowVessikProperties, kOnLibraryThread, {Word(parent), channel_id, vessik_id});
  });
}

extern "C" int ZRAccessVessik(DWORD channel_id, DWORD vessik_id, DWORD minutes) {
  return Guarded(
      [&] { return RunCommandFunction(kOpAccessVessik, kInCallingThread, {channel_id, vessik_id, minutes}); });
}

extern "C" int ZRAuthenticateVessik(HWND parent, DWORD channel_id, DWORD vessik_id, int* approved) {
  return Guarded([&] {
    // The answer is "not approved" too when the command does not run at all.
    if (approved) *approved = 0;
    return RunCommandFunction(kOpAuthenticateVessik, kOnLibraryThread,
                              {Word(parent), channel_id, vessik_id, Word(approved)});
  });
}
