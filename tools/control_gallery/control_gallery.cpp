// Pictures of the suite's controls as a user sees them, hosted in the control container on the
// stand-in client's example fixture: control_gallery FIXTURE OUTPUT_FOLDER writes
//   storyroll.png       the Kelvane channel's stories, summaries shown, one selected
//   storyroll_menu.png  the same with the context menu open
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>

#include "comsupport/bstr.h"
#include "standin/control_container.h"
#include "testing/process.h"
#include "testing/scripting.h"
#include "testing/standin_client.h"
#include "testing/window_capture.h"

namespace {

std::string ReadText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw std::runtime_error("cannot read " + path);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

void Save(const testing_support::WindowCapture& picture, const std::string& path) {
  if (!picture.SavePng(comsupport::ToWide(path))) throw std::runtime_error("cannot write " + path);
  std::printf("gallery: %s (%dx%d)\n", path.c_str(), picture.width(), picture.height());
}

// The host's client area on the screen, grown to take in the popup menu.
RECT PictureArea(HWND host, HWND menu) {
  RECT area = {};
  ::GetClientRect(host, &area);
  ::MapWindowPoints(host, nullptr, reinterpret_cast<POINT*>(&area), 2);
  RECT menu_area = {};
  if (menu && ::GetWindowRect(menu, &menu_area)) ::UnionRect(&area, &area, &menu_area);
  return area;
}

void Storyroll(const std::string& output) {
  const DWORD registered = testing_support::RunProgram(
      "regsvr32 /s " + testing_support::Quote(testing_support::BuildOutput("Storyroll.ocx")), 120000);
  if (registered != 0) throw std::runtime_error("regsvr32 Storyroll.ocx failed");
  standin::ControlContainer host(620, 220);
  HRESULT hr = host.Create("Zorvane.StoryrollCtrl.1", standin::Initialization::FromParams({{"EmbeddedSummaries", "1"}}));
  if (SUCCEEDED(hr)) hr = host.Activate();
  if (FAILED(hr)) throw std::runtime_error("Storyroll could not be hosted: " + std::to_string(hr));
  ::SetWindowTextA(host.host(), "Storyroll - Kelvane");
  ::ShowWindow(host.host(), SW_SHOWNORMAL);
  ::SetForegroundWindow(host.host());
  auto control = comsupport::ComPtr<IUnknown>(host.control()).As<IDispatch>();
  comsupport::Variant result;
  testing_support::InvokeByName(control.get(), "SetChannel", DISPATCH_METHOD, {comsupport::Variant(7L)}, result.get());
  testing_support::InvokeByName(control.get(), "SelectedStoryIndex", DISPATCH_PROPERTYPUT, {comsupport::Variant(1L)},
                                nullptr);
  testing_support::PumpMessages(500);
  Save(testing_support::WindowCapture(PictureArea(host.host(), nullptr)), output + "\\storyroll.png");

  // The context menu opens on a right click over the selected row; a second thread takes the
  // picture while the control tracks the menu, then closes it.
  HWND grid = ::GetDlgItem(host.ControlWindow(), 1);
  HWND list = grid ? ::FindWindowExA(grid, nullptr, "ListBox", nullptr) : nullptr;
  if (!list) throw std::runtime_error("Storyroll shows no list");
  RECT row = {};
  ::SendMessageA(list, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row));
  POINT point = {row.left + 160, row.top + 6};
  ::ClientToScreen(list, &point);
  std::atomic<bool> saved{false};
  std::string failure;
  std::thread photographer([&] {
    HWND menu = nullptr;
    for (int tries = 0; tries < 200 && !(menu && ::IsWindowVisible(menu)); ++tries) {
      ::Sleep(25);
      menu = ::FindWindowA("#32768", nullptr);
    }
    ::Sleep(300);
    try {
      if (!menu) throw std::runtime_error("the context menu did not open");
      Save(testing_support::WindowCapture(PictureArea(host.host(), menu)), output + "\\storyroll_menu.png");
      saved = true;
    } catch (const std::exception& error) {
      failure = error.what();
    }
    INPUT escape[2] = {};
    escape[0].type = escape[1].type = INPUT_KEYBOARD;
    escape[0].ki.wVk = escape[1].ki.wVk = VK_ESCAPE;
    escape[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ::SendInput(2, escape, sizeof(INPUT));
  });
  ::SetCursorPos(point.x, point.y);
  INPUT click[2] = {};
  click[0].type = click[1].type = INPUT_MOUSE;
  click[0].mi.dwFlags = MOUSEEVENTF_RIGHTDOWN;
  click[1].mi.dwFlags = MOUSEEVENTF_RIGHTUP;
  ::SendInput(2, click, sizeof(INPUT));
  const DWORD start = ::GetTickCount();
  while (!saved && failure.empty() && ::GetTickCount() - start < 10000) testing_support::PumpMessages(50);
  photographer.join();
  testing_support::PumpMessages(100);
  host.Teardown();
  if (!saved) throw std::runtime_error(failure.empty() ? "no picture of the context menu" : failure);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: control_gallery FIXTURE OUTPUT_FOLDER\n");
    return 2;
  }
  if (FAILED(::OleInitialize(nullptr))) return 2;
  int result = 0;
  try {
    ::CreateDirectoryA(argv[2], nullptr);
    testing_support::StandinClient client(ReadText(argv[1]));
    Storyroll(argv[2]);
    client.Stop();
  } catch (const std::exception& error) {
    std::fprintf(stderr, "control_gallery: %s\n", error.what());
    result = 1;
  }
  ::OleUninitialize();
  return result;
}
