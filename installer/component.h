// One component of the description files as the download dialog keeps it.
#pragma once

#include <string>

namespace installer {

enum ComponentStatus {
  kAlreadyInstalled = 0,
  kDownloaded = 1,
  kNeedDownload = 2,
  kDownloadError = 3,
  kDownloading = 4,
  kExtracting = 5,
  kInstalling = 6,
  kInstallDone = 7,
};

enum Protocol { kFtp = 0, kCopy = 1, kCdrom = 2, kSelfExtracted = 3, kHttp = 4 };

struct Component {
  std::string work_directory;
  std::string description_path;
  std::string section;
  std::string name;
  int size_kb = 0;
  int display_order = 100;
  int install_order = 100;
  int status = kNeedDownload;
  int protocol = kSelfExtracted;
  std::string source_directory;  // where its files are looked for and downloaded to
};

// "ftp" 0, "copy" 1, "cdrom" 2, "http" 4, anything else 3.
int ProtocolCode(const std::string& protocol);

}  // namespace installer
