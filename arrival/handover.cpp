#include "handover.h"

#include <windows.h>

#include "caught_errors.h"
#include "client_location.h"
#include "comsupport/bstr.h"
#include "comsupport/process.h"
#include "iad_file.h"
#include "kelvane_channel.h"
#include "shelver_command.h"

namespace hookwell {

namespace {

using comsupport::Bstr;
using comsupport::ComPtr;

constexpr char kLogModule[] = "ClientExt";
constexpr char kMarkerFile[] = "MyMendlet.dat";
constexpr char kDescriptionFile[] = "info.iad";

bool FileExists(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ChannelName(IZorvaneVessik* vessik) {
  if (!vessik) throw comsupport::ComError(E_POINTER, IID_IZorvaneVessik, std::string());
  ComPtr<IZorvaneChannel> channel;
  COMSUPPORT_CHECK(IZorvaneVessik, vessik->get_Channel(channel.put()));
  Bstr name;
  COMSUPPORT_CHECK(IZorvaneChannel, Required(channel)->get_Name(name.put()));
  return name.Ansi();
}

// Started in a console and process group of its own, inheriting nothing, and not waited for.
void StartShelver(const std::string& command_line) {
  comsupport::ProcessOptions options;
  options.creation_flags = CREATE_NEW_CONSOLE | CREATE_NEW_PROCESS_GROUP;
  comsupport::StartProcess(command_line, options);
}

void HandOver(IZorvaneVessik* vessik, ExtensionLog& log) {
  if (ChannelName(vessik) != kKelvaneChannelName) return;
  Bstr directory_text;
  COMSUPPORT_CHECK(IZorvaneVessik, vessik->get_Directory(directory_text.put()));
  const std::string directory = directory_text.Ansi();
  if (!FileExists(directory + kMarkerFile)) return;

  const std::string description_path = directory + kDescriptionFile;
  const std::string title = HvIadFile(&log, description_path).title();
  if (title.empty()) HOOKWELL_REPORT(log, kLogModule, "Unable to find title in Iad File " + description_path);
  // Whatever the title holds goes on: only Shelver knows whether it becomes a folder path (a
  // mirrored tree), and it refuses levels that leave the repository there.
  const std::string command_line = ShelverCommandLine(ClientBaseDirectory(), directory, TitleText(title));
  if (!FitsCommandLineBuffer(command_line)) {
    HOOKWELL_REPORT(log, kLogModule,
                    "Command line for Shelver is " + std::to_string(command_line.size()) + " bytes, more than " +
                        std::to_string(kCommandLineBufferSize - 1) + ": Mendlet in " + directory + " not placed");
    return;
  }
  StartShelver(command_line);
}

}  // namespace

void HandOverVessik(IZorvaneVessik* vessik, ExtensionLog& log) noexcept {
  try {
    HandOver(vessik, log);
  } catch (...) {
    HOOKWELL_REPORT_CAUGHT(log, kLogModule, ComErrors::Apart);
  }
}

}  // namespace hookwell
