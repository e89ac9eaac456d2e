// The servers that the CTest fixture "installer_servers" started (tests/servers): their ports,
// their content folder and their logs, seen from Wine through drive Z:.
#pragma once

#include <string>
#include <vector>

namespace installer_tests {

struct TestServers {
  int http = 0;    // nginx
  int other = 0;   // nginx, logging the credentials it receives
  int proxy = 0;   // tinyproxy, user "proxyuser", password "proxysecret"
  int faults = 0;  // the scripted fault server
  std::string ftp;             // vsftpd: anonymous (root ftp\anon) and "halvernftp" (ftp\user)
  std::string ftp_port_only;   // vsftpd without PASV, same folders
  std::string ftp_faults;      // announces a wrong size, serves ftp\anon
  std::string folder;  // Windows path of the servers' folder

  static const TestServers& Get();
  std::string Content(const std::string& relative) const;  // below the content root
  // nginx's access log lines ("URI STATUS") and those of the credentials site.
  std::vector<std::string> AccessLog() const;
  std::vector<std::string> OtherLog() const;
  void ClearLogs() const;
  std::string Site(int port) const { return "127.0.0.1:" + std::to_string(port); }
};

// Publishes bytes as a package by parts (pkginfo.txt and fileNNN.bin) in folder of the content
// root; returns the part names.
std::vector<std::string> PublishParts(const std::string& folder, const std::string& bytes, size_t part_size);

// Bytes that differ at every position of a part.
std::string SampleBytes(size_t size, unsigned seed = 1);

}  // namespace installer_tests
