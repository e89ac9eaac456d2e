// The suite's main job on the stand-in client: a client installed under C:\Halvern, Shelver and
// Hookwell in its "Halvern Extensions", two Mendlets delivered on the Kelvane channel (flat,
// then mirrored), and what came of it: the placed tree, ExtensionDll.log and the client calls.
#include <windows.h>

#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "comsupport/bstr.h"
#include "standin/control_container.h"
#include "vinnet/super_grid_ctrl.h"
#include "testing/process.h"
#include "testing/scripting.h"
#include "testing/standin_client.h"
#include "testing/temp_dir.h"

namespace {

using testing_support::StandinClient;
using testing_support::WaitForFile;

const char kRoot[] = "C:\\Halvern";
const char kRepository[] = "C:\\Mendlets";

void Print(const std::string& text) { std::fputs(text.c_str(), stdout), std::fflush(stdout); }

void Install(const std::string& name) {
  std::string target = std::string(kRoot) + "\\Halvern Extensions\\" + name;
  if (!::CopyFileA(testing_support::BuildOutput(name).c_str(), target.c_str(), FALSE))
    throw std::runtime_error("cannot copy " + name + " to " + target);
}

// Every file below directory, one line each, relative to the top.
void ListTree(const std::string& directory, const std::string& prefix, std::vector<std::string>& lines) {
  WIN32_FIND_DATAA found;
  HANDLE search = ::FindFirstFileA((directory + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      ListTree(directory + "\\" + name, prefix + name + "\\", lines);
    } else {
      lines.push_back(prefix + name + "  (" + std::to_string(found.nFileSizeLow) + " bytes)");
    }
  } while (::FindNextFileA(search, &found));
  ::FindClose(search);
}

std::string Mendlet(long id, const std::string& title) {
  return "{\"id\":" + std::to_string(id) +
         ",\"channel\":7,\"name\":\"" + title + "\",\"files\":{"
         "\"MyMendlet.dat\":\"readme.txt\\r\\nsetup.exe\\r\\ndriver.inf\","
         "\"info.iad\":\"[presentation]\\r\\nname=\\\"" + title + "\\\"\\r\\n\","
         "\"readme.txt\":\"Read me first.\\r\\n\",\"setup.exe\":\"MZ stand-in setup\",\"driver.inf\":\"[Version]\\r\\n\"}}";
}

// The story list of the Kelvane channel as a page shows it: Storyroll in a control host.
void ShowStoryList() {
  DWORD registered =
      testing_support::RunProgram("regsvr32 /s " + testing_support::Quote(testing_support::BuildOutput("Storyroll.ocx")), 120000);
  Print("\nregsvr32 Storyroll.ocx: exit code " + std::to_string(registered) + "\n");
  standin::ControlContainer host(640, 240);
  HRESULT hr = host.Create("Zorvane.StoryrollCtrl.1", standin::Initialization::FromParams({{"EmbeddedSummaries", "1"}}));
  if (SUCCEEDED(hr)) hr = host.Activate();
  if (FAILED(hr)) throw std::runtime_error("the story list could not be shown: " + std::to_string(hr));
  auto list = comsupport::ComPtr<IUnknown>(host.control()).As<IDispatch>();
  comsupport::Variant result;
  testing_support::InvokeByName(list.get(), "SetChannel", DISPATCH_METHOD, {comsupport::Variant(7L)}, result.get());
  testing_support::PumpMessages(300);
  testing_support::InvokeByName(list.get(), "NumStories", DISPATCH_PROPERTYGET, {}, result.put());
  Print("Story list of the Kelvane channel: " + std::to_string(result.get()->lVal) + " stories\n");
  // The rows as the list's grid holds them (the grid window keeps its object as its user data).
  HWND grid_window = ::GetDlgItem(host.ControlWindow(), 1);
  auto* grid = grid_window ? reinterpret_cast<CSuperGridCtrl*>(::GetWindowLongPtrA(grid_window, GWLP_USERDATA)) : nullptr;
  for (int row = 0; grid && row < grid->GetItemCount(); ++row) {
    std::string line = "  ";
    bool unread = false;
    for (int column = 0; column < grid->GetColumnCount(); ++column) {
      CString text;
      DWORD flags = 0;
      int image = 0;
      grid->GetItem(row, column, image, flags);
      if (flags & SGF_NUMBER) {
        line += image >= 0 ? "[" + std::to_string(image) + "] " : "[ ] ";
      } else {
        grid->GetItem(row, column, text, flags);
        line += text + "  |  ";
        unread = unread || (flags & SGF_BOLD);
      }
    }
    CString summary;
    grid->GetSummary(row, summary);
    Print(line + summary + (unread ? "  (unread)" : "") + "\n");
  }
  host.Teardown();
}

int Run() {
  testing_support::RemoveTree(kRoot);
  testing_support::RemoveTree(kRepository);
  Print("Installing the client under " + std::string(kRoot) + "\n");
  std::string client = testing_support::InstallStandin(kRoot);
  Install("Shelver.exe");
  Install("Hookwell.dll");
  std::string hookwell = std::string(kRoot) + "\\Halvern Extensions\\Hookwell.dll";
  DWORD registered = testing_support::RunProgram("regsvr32 /s " + testing_support::Quote(hookwell), 120000);
  Print("regsvr32 Hookwell.dll: exit code " + std::to_string(registered) + "\n");
  if (registered != 0) return 1;

  std::string fixture = std::string("{\"channels\":[{\"id\":7,\"name\":\"Kelvane\",\"flags\":4,\"cacheSize\":40000000,") +
                        "\"variables\":{\"targetdirectory\":\"C:\\\\Mendlets\",\"mirrortreeflag\":\"N\"}," +
                        "\"stories\":[{\"id\":1101,\"title\":\"[M1] Display driver 2.1\",\"vessik\":101," +
                        "\"fields\":{\"Text\":\"Flat placement\",\"Story Time\":1760000000},\"attributes\":{\"Read\":1}}," +
                        "{\"id\":1102,\"title\":\"[M2] Audio/Video drivers\",\"vessik\":102," +
                        "\"fields\":{\"Text\":\"Mirrored placement\",\"Story Time\":1760086400},\"attributes\":{\"Read\":0}}]}]}";
  std::string program = std::string(kRoot) + "\\program";
  StandinClient standin(fixture, client, program);
  Print("Client started; extensions: " + standin.WaitForExtensions());
  standin.ClearJournal();

  Print("Delivering Mendlet 101 \"[M1] Display driver 2.1\" (flat)\n");
  StandinClient::Check(standin.control()->DeliverVessik(comsupport::Bstr(Mendlet(101, "[M1] Display driver 2.1")).get()),
                       "delivering the first Mendlet");
  bool flat = WaitForFile(std::string(kRepository) + "\\driver.inf", 60000);

  StandinClient::Check(standin.control()->ChangeChannel(
                           7, comsupport::Bstr(std::string("{\"variables\":{\"mirrortreeflag\":\"y \"}}")).get(), 0),
                       "switching to a mirrored tree");
  Print("Delivering Mendlet 102 \"[M2] Audio/Video drivers\" (mirrored)\n");
  StandinClient::Check(standin.control()->DeliverVessik(comsupport::Bstr(Mendlet(102, "[M2] Audio/Video drivers")).get()),
                       "delivering the second Mendlet");
  bool mirrored = WaitForFile(std::string(kRepository) + "\\ Audio\\Video drivers\\driver.inf", 60000);

  std::vector<std::string> tree;
  ListTree(kRepository, "", tree);
  Print("\nPlaced in " + std::string(kRepository) + ":\n");
  for (const std::string& line : tree) Print("  " + line + "\n");

  ShowStoryList();
  std::string journal = standin.Journal();
  standin.Stop();
  Print("\nExtensionDll.log:\n");
  std::string log_path = program + "\\ExtensionDll.log";
  Print(testing_support::FileExists(log_path) ? testing_support::ReadFile(log_path) : "  (none)\n");
  Print("\nClient calls after start-up:\n" + journal);
  if (!flat || !mirrored) {
    Print(std::string("\nFAILED: ") + (flat ? "" : "the flat Mendlet was not placed. ") +
          (mirrored ? "" : "the mirrored Mendlet was not placed.") + "\n");
    return 1;
  }
  Print("\nBoth Mendlets were placed.\n");
  return 0;
}

}  // namespace

int main() {
  HRESULT hr = ::OleInitialize(nullptr);
  if (FAILED(hr)) {
    std::fprintf(stderr, "arrival_demo: OleInitialize failed: 0x%08lX\n", static_cast<unsigned long>(hr));
    return 2;
  }
  int result;
  try {
    result = Run();
  } catch (const std::exception& error) {
    std::fprintf(stderr, "arrival_demo: %s\n", error.what());
    result = 1;
  }
  ::OleUninitialize();
  return result;
}
