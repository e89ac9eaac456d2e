// installer_download: the installer fetching a 256 MB component in 4 MB parts from nginx on
// loopback, against curl fetching the same parts from the same server in the same run (timed
// by the benchmark's hook, bench_installer_download.hook); then a resumed run, whose parts
// fetched again should be none.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "testing/bench_support.h"
#include "testing/process.h"
#include "testing/temp_dir.h"

namespace {

using namespace testing_support;

constexpr double kMegabytes = 256.0;

std::string ServersFolder() { return BuildOutput("..\\installer-servers"); }

int CountPartRequests(const std::string& log) {
  int count = 0;
  for (size_t at = log.find("/bench/file"); at != std::string::npos; at = log.find("/bench/file", at + 1)) ++count;
  return count;
}

void ClearAccessLog() {
  HANDLE file = ::CreateFileA((ServersFolder() + "\\access.log").c_str(), GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  ::SetEndOfFile(file);
  ::CloseHandle(file);
}

}  // namespace

int main() {
  PrepareBenchmarkProcess();
  const std::string servers = ServersFolder();
  const std::string ini = servers + "\\servers.ini";
  int port = ::GetPrivateProfileIntA("servers", "http", 0, ini.c_str());
  double curl_seconds = 0;
  std::ifstream(servers + "\\curl_seconds") >> curl_seconds;
  if (!port || curl_seconds <= 0) {
    std::fprintf(stderr, "installer_download: the servers are not running (tools/bench starts them)\n");
    return 1;
  }
  TempDir work;
  WriteFile(work / "bench.inf", "[defs]\r\ncomponents=bench\r\nallowintervention=FALSE\r\n[bench]\r\nname=Bench\r\n"
                                "Protocol=http\r\nfiles=bench.bin\r\nsite=127.0.0.1:" + std::to_string(port) +
                                    "\r\nsourceDir=/bench\r\n");
  char windows[MAX_PATH] = {};
  ::GetWindowsDirectoryA(windows, MAX_PATH);
  const std::string settings = std::string(windows) + "\\Ostrel.ini";
  const std::string command = Quote(BuildOutput("installer.exe")) + " -inf " + work / "bench.inf";

  ::DeleteFileA(settings.c_str());
  double start = Seconds();
  DWORD exit_code = RunProgram(command, 600000);
  double seconds = Seconds() - start;
  WIN32_FILE_ATTRIBUTE_DATA data = {};
  if (!::GetFileAttributesExA((work / "bench.bin").c_str(), GetFileExInfoStandard, &data) ||
      data.nFileSizeLow != 256u * 1024 * 1024) {
    std::fprintf(stderr, "installer_download: the download failed (exit %lu)\n", exit_code);
    return 1;
  }
  PrintFigure("installer_download", kMegabytes / seconds, "MB/s");
  PrintFigure("installer_download_curl", kMegabytes / curl_seconds, "MB/s");
  PrintRatio("installer_download", curl_seconds / seconds);

  // Resumed: the file is gone but its verified parts are there.
  ::DeleteFileA((work / "bench.bin").c_str());
  ::DeleteFileA(settings.c_str());
  ClearAccessLog();
  start = Seconds();
  RunProgram(command, 600000);
  PrintFigure("installer_download_resumed", Seconds() - start, "s", 2);
  PrintFigure("installer_download_refetched_parts", CountPartRequests(ReadFile(servers + "\\access.log")), "parts", 0);
  ::DeleteFileA(settings.c_str());
  return 0;
}
