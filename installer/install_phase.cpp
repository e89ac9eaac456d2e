#include "install_phase.h"

#include <winsock2.h>
#include <windows.h>
#include <commctrl.h>

#include "comsupport/registry.h"
#include "download_dialog.h"
#include "install_command.h"
#include "message_box.h"
#include "registry_step.h"
#include "resource.h"
#include "settings_file.h"
#include "text_list.h"

namespace installer {

namespace {

void MarkComponent(const std::string& section) {
  auto key = comsupport::RegistryKey::Create(HKEY_LOCAL_MACHINE, "Software\\Zorvane\\Zorvane\\Public\\Components\\" + section,
                                             KEY_SET_VALUE);
  if (key) key.WriteDword("enable", 1);
}

void Log(const std::string& text) {
  std::string line = "installer: " + text + "\n";
  ::OutputDebugStringA(line.c_str());
}

// Runs a component's steps; false at the first failing one.
bool InstallComponent(DownloadDialog& dialog, InstallerContext& context, size_t index, int* package_number) {
  Descriptions& descriptions = dialog.descriptions();
  Component component = descriptions.components()[index];
  CommandContext command_context;
  command_context.source_directory = component.source_directory;
  command_context.work_directory = context.work_directory;
  command_context.installer_command_line = context.options.command_line;
  command_context.record_scripts = context.options.record_scripts;
  command_context.package_number = package_number;
  command_context.quit = &context.quit;
  command_context.session_ending = context.session_end_event.get();
  int count = descriptions.Number(component, "count", 1);
  for (int step = 1; step <= count && !context.quit; ++step) {
    std::string extract = descriptions.Value(component, ("extract" + std::to_string(step)).c_str(), "", 512);
    std::string registry = descriptions.Value(component, ("registry" + std::to_string(step)).c_str(), "", 512);
    std::string install = descriptions.Value(component, ("install" + std::to_string(step)).c_str(), "", 512);
    std::string error;
    if (!extract.empty()) {
      dialog.SetStatusLine(Format(ResourceString(IDS_EXTRACTING).c_str(), component.name.c_str()));
      dialog.SetComponentStatus(index, kExtracting);
      bool ran = RunInstallCommand(extract, command_context, &error);
      MarkComponent(component.section);
      if (!ran) {
        Log(component.name + ": " + error);
        return false;
      }
    }
    if (!registry.empty() &&
        !ApplyRegistryStep(registry, component.description_path, component.source_directory, &error)) {
      Log(component.name + ": " + error);
      return false;
    }
    if (!install.empty()) {
      dialog.SetStatusLine(Format(ResourceString(IDS_INSTALLING).c_str(), component.name.c_str()));
      dialog.SetComponentStatus(index, kInstalling);
      bool ran = RunInstallCommand(install, command_context, &error);
      MarkComponent(component.section);
      if (!ran) {
        Log(component.name + ": " + error);
        return false;
      }
    }
  }
  return !context.quit;
}

}  // namespace

DialogEnd RunInstallPhase(DownloadDialog& dialog, InstallerContext& context, bool network_download,
                          bool proxy_known, const Proxy& proxy_used) {
  dialog.SetStatusLine(ResourceString(IDS_ALL_DOWNLOADED));
  dialog.FillProgress();
  if (context.network_needed) {
    ::ShowWindow(dialog.window(), SW_HIDE);
    if (context.allow_intervention && RunSimpleDialog(IDD_READY_TO_INSTALL, nullptr) != IDOK) {
      if (RunSimpleDialog(IDD_CANCEL_INSTALLATION, nullptr) == IDC_KEEP_FILES) {
        WriteSetting("download", "complete", "1");
        return DialogEnd::kCancelled;
      }
      return DialogEnd::kQuit;
    }
  }
  WriteSetting("result", "success", "0");
  WriteSetting("download", "complete", "1");
  if (network_download && context.save_proxy_settings) {
    if (proxy_known && proxy_used.used()) {
      WriteSetting("ProxySettings", "Valid", "TRUE");
      WriteSetting("ProxySettings", "Proxy", proxy_used.host);
      WriteSetting("ProxySettings", "Port", std::to_string(proxy_used.port));
    } else {
      WriteSetting("ProxySettings", "Valid", "FALSE");
    }
  }

  auto& components = dialog.descriptions().components();
  int package_number = 0;
  for (;;) {
    int next = -1;
    for (size_t index = 0; index < components.size(); ++index) {
      if (components[index].status != kDownloaded) continue;
      if (next < 0 || components[index].install_order < components[next].install_order) next = static_cast<int>(index);
    }
    if (next < 0) break;
    bool installed = InstallComponent(dialog, context, next, &package_number);
    dialog.SetComponentStatus(next, kInstallDone);
    if (!installed) return DialogEnd::kCancelled;
  }

  if (ReadSetting("result", "success") == "1" || (!context.network_needed && !context.options.second_instance)) {
    if (context.network_needed) DeleteSettingsFile();
    return DialogEnd::kCompleted;
  }
  return DialogEnd::kCancelled;
}

}  // namespace installer
