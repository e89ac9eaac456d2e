#include "test_servers.h"

#include <windows.h>

#include <cstdlib>
#include <sstream>
#include <stdexcept>

#include "checksum.h"
#include "package_info.h"
#include "testing/temp_dir.h"

namespace installer_tests {

const TestServers& TestServers::Get() {
  static TestServers servers = [] {
    const char* folder = std::getenv("INSTALLER_SERVERS");
    if (!folder || !*folder) throw std::runtime_error("INSTALLER_SERVERS is not set: run the tests through ctest");
    TestServers result;
    result.folder = folder;
    std::string ini = result.folder + "\\servers.ini";
    result.http = ::GetPrivateProfileIntA("servers", "http", 0, ini.c_str());
    result.other = ::GetPrivateProfileIntA("servers", "other", 0, ini.c_str());
    result.proxy = ::GetPrivateProfileIntA("servers", "proxy", 0, ini.c_str());
    result.faults = ::GetPrivateProfileIntA("servers", "faults", 0, ini.c_str());
    char text[64] = {};
    ::GetPrivateProfileStringA("servers", "ftp", "", text, sizeof text, ini.c_str());
    result.ftp = text;
    ::GetPrivateProfileStringA("servers", "ftp_port_only", "", text, sizeof text, ini.c_str());
    result.ftp_port_only = text;
    ::GetPrivateProfileStringA("servers", "ftp_faults", "", text, sizeof text, ini.c_str());
    result.ftp_faults = text;
    if (!result.http || !result.proxy || !result.faults) throw std::runtime_error("the test servers are not running");
    return result;
  }();
  return servers;
}

std::string TestServers::Content(const std::string& relative) const { return folder + "\\www\\" + relative; }

namespace {

std::vector<std::string> Lines(const std::string& path) {
  std::vector<std::string> lines;
  if (!testing_support::FileExists(path)) return lines;
  std::istringstream text(testing_support::ReadFile(path));
  std::string line;
  while (std::getline(text, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) lines.push_back(line);
  }
  return lines;
}

void Truncate(const std::string& path) {
  HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  ::SetEndOfFile(file);
  ::CloseHandle(file);
}

}  // namespace

std::vector<std::string> TestServers::AccessLog() const { return Lines(folder + "\\access.log"); }
std::vector<std::string> TestServers::OtherLog() const { return Lines(folder + "\\other.log"); }

void TestServers::ClearLogs() const {
  // nginx writes with O_APPEND: truncating in place keeps its descriptor valid.
  Truncate(folder + "\\access.log");
  Truncate(folder + "\\other.log");
}

std::vector<std::string> PublishParts(const std::string& folder, const std::string& bytes, size_t part_size) {
  const TestServers& servers = TestServers::Get();
  testing_support::RemoveTree(servers.Content(folder));
  std::ostringstream files, sums;
  std::vector<std::string> names;
  for (size_t at = 0, index = 0; at < bytes.size(); at += part_size, ++index) {
    std::string part = bytes.substr(at, part_size);
    std::string name = installer::PackageInfo::PartName(index);
    installer::Checksum checksum;
    checksum.Add(part.data(), part.size());
    files << name << "=" << part.size() << "\r\n";
    sums << name << " = " << checksum.Value() << "\r\n";
    testing_support::WriteFile(servers.Content(folder + "\\" + name), part);
    names.push_back(name);
  }
  installer::Checksum whole;
  whole.Add(bytes.data(), bytes.size());
  testing_support::WriteFile(servers.Content(folder + "\\pkginfo.txt"),
                             "[files]\r\n" + files.str() + "[sums]\r\n" + sums.str() +
                                 "total_sum=" + std::to_string(whole.Value()) + "\r\n");
  return names;
}

std::string SampleBytes(size_t size, unsigned seed) {
  std::string bytes(size, '\0');
  unsigned value = seed * 2654435761u;
  for (size_t at = 0; at < size; ++at) {
    value = value * 1103515245u + 12345u;
    bytes[at] = static_cast<char>(value >> 16);
  }
  return bytes;
}

}  // namespace installer_tests
