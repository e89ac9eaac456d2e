// Shelver: places one arrived Mendlet's files into the user's Mendlet repository. No window;
// the user hears of problems through message boxes. Exit code 1 when the settings cannot be
// read from the client, else 0.
#include <windows.h>

#include <exception>
#include <string>

#include "client_settings.h"
#include "command_line.h"
#include "shelver.h"
#include "user_messages.h"

namespace {

void Trace(const std::string& line) { ::OutputDebugStringA(("Shelver: " + line + "\n").c_str()); }

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  placement::PlacementSettings settings;
  try {
    settings = placement::ReadPlacementSettings();
  } catch (const std::exception& failure) {
    Trace(failure.what());
    ::MessageBoxA(nullptr, "Error in reading user profile data", "Place", MB_OK);
    return 1;
  } catch (...) {
    ::MessageBoxA(nullptr, "Error in reading user profile data", "Place", MB_OK);
    return 1;
  }
  try {
    placement::MessageBoxes messages;
    Trace(placement::PlacementResultName(
        placement::RunPlacement(settings, placement::ArgumentText(::GetCommandLineA()), messages)));
  } catch (const std::exception& failure) {
    Trace(std::string("failed: ") + failure.what());
  } catch (...) {
    Trace("failed");
  }
  return 0;
}
