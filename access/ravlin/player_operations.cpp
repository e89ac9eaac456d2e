// The client's player ("animation" in the function names).
#include <string>

#include "client_objects.h"
#include "client_pointer.h"
#include "com_values.h"
#include "exports.h"
#include "operations.h"

namespace ravlin {

using comsupport::Bstr;
using comsupport::ComPtr;

namespace {

ComPtr<IZorvanePlayer> Player() { return PlayerOf(ThreadClient().get()); }

// The name shown for the last played package: cut before a "[]" that does not open it, and
// trimmed of blanks.
std::string DisplayName(std::string name) {
  size_t marker = name.find("[]");
  if (marker != std::string::npos && marker > 0) {
    name.erase(marker);
    size_t first = name.find_first_not_of(" \t");
    size_t last = name.find_last_not_of(" \t");
    name = first == std::string::npos ? std::string() : name.substr(first, last - first + 1);
  }
  return name;
}

template <class Read>
LONG ReadFlag(RavlinCommand& command, Read read) {
  int* out = PointerOf<int>(command.arguments[0]);
  ComPtr<IZorvanePlayer> player = Player();
  VARIANT_BOOL flag = VARIANT_FALSE;
  if (!out || !player || !Ok(read(player.get(), &flag))) return 0;
  *out = flag ? 1 : 0;
  return 1;
}

}  // namespace

// (text)
LONG ShellUrl(RavlinCommand& command) {
  const char* url = PointerOf<const char>(command.arguments[0]);
  ComPtr<IZorvanePlayer> player = Player();
  return url && player && Ok(player->PlayURL(BstrOf(url).get())) ? 1 : 0;
}

// (out channel id, out Vessik id, buffer or none)
LONG GetLastAnimationInfo(RavlinCommand& command) {
  auto* channel_id = PointerOf<DWORD>(command.arguments[0]);
  auto* vessik_id = PointerOf<DWORD>(command.arguments[1]);
  auto* buffer = PointerOf<QMBuffer>(command.arguments[2]);
  ComPtr<IZorvanePlayer> player = Player();
  LONG channel = 0, vessik = 0;
  Bstr name;
  if (!channel_id || !vessik_id || !player || !Ok(player->GetLastPlayed(&channel, &vessik, name.put()))) return 0;
  *channel_id = static_cast<DWORD>(channel);
  *vessik_id = static_cast<DWORD>(vessik);
  if (buffer) {
    buffer->Clear();
    std::string text = name.Ansi();
    if (!text.empty()) buffer->SetText(DisplayName(text).c_str());
  }
  return 1;
}

LONG StopCurrentAnimation(RavlinCommand&) {
  ComPtr<IZorvanePlayer> player = Player();
  return player && Ok(player->AbortCurrentPlayer()) ? 1 : 0;
}

LONG RemoveWallpaper(RavlinCommand&) {
  ComPtr<IZorvanePlayer> player = Player();
  return player && Ok(player->RemoveWallpaper()) ? 1 : 0;
}

// (out int)
LONG CanReplayLastAnimation(RavlinCommand& command) {
  return ReadFlag(command, [](IZorvanePlayer* player, VARIANT_BOOL* flag) { return player->get_CanReplayLast(flag); });
}

LONG ReplayLastAnimation(RavlinCommand&) {
  ComPtr<IZorvanePlayer> player = Player();
  return player && Ok(player->ReplayLast()) ? 1 : 0;
}

// (out int)
LONG IsAnimationPlaying(RavlinCommand& command) {
  return ReadFlag(command,
                  [](IZorvanePlayer* player, VARIANT_BOOL* flag) { return player->get_IsCurrentlyPlaying(flag); });
}

}  // namespace ravlin

using namespace ravlin;

extern "C" int ZRShellURL(const char* url) {
  return Guarded([&] { return RunCommandFunction(kOpShellUrl, kInCallingThread, {Word(url)}); });
}

extern "C" int ZRGetLastAnimationInfo(DWORD* channel_id, DWORD* vessik_id, QMBuffer* name) {
  return Guarded([&] {
    return RunCommandFunction(kOpGetLastAnimationInfo, kInCallingThread,
                              {Word(channel_id), Word(vessik_id), Word(name)});
  });
}

extern "C" int ZRStopCurrentAnimation() {
  return Guarded([&] { return RunCommandFunction(kOpStopCurrentAnimation, kInCallingThread, {}); });
}

extern "C" int ZRRemoveWallpaper() {
  return Guarded([&] { return RunCommandFunction(kOpRemoveWallpaper, kInCallingThread, {}); });
}

extern "C" int ZRCanReplayLastAnimation(int* can) {
  return Guarded([&] { return RunCommandFunction(kOpCanReplayLastAnimation, kInCallingThread, {Word(can)}); });
}

extern "C" int ZRReplayLastAnimation() {
  return Guarded([&] { return RunCommandFunction(kOpReplayLastAnimation, kInCallingThread, {}); });
}

extern "C" int ZRIsAnimationPlaying(int* playing) {
  return Guarded([&] { return RunCommandFunction(kOpIsAnimationPlaying, kInCallingThread, {Word(playing)}); });
}
