#include "vessik_files.h"

#include <windows.h>

#include <stdexcept>

#include "comsupport/unique_handle.h"

namespace standin {

namespace {

bool StaysInside(const std::string& name) {
  if (name.empty() || name[0] == '\\' || name[0] == '/' || name.find(':') != std::string::npos) return false;
  size_t start = 0;
  while (start <= name.size()) {
    size_t end = name.find_first_of("\\/", start);
    if (end == std::string::npos) end = name.size();
    if (name.compare(start, end - start, "..") == 0) return false;
    start = end + 1;
  }
  return true;
}

void CreateDirectories(const std::string& path) {
  for (size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1)) {
    std::string part = path.substr(0, at);
    if (!::CreateDirectoryA(part.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS)
      throw std::runtime_error("cannot create " + part);
  }
}

}  // namespace

void WriteVessikFiles(const std::string& directory, const Json& files) {
  for (auto file = files.begin(); file != files.end(); ++file) {
    if (!StaysInside(file.key())) throw std::runtime_error("a package file outside its directory: " + file.key());
  }
  for (auto file = files.begin(); file != files.end(); ++file) {
    std::string path = directory + file.key();
    for (char& c : path) c = c == '/' ? '\\' : c;
    CreateDirectories(path);
    std::string bytes = file.value().get<std::string>();
    comsupport::UniqueHandle handle(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!handle || !::WriteFile(handle.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size())
      throw std::runtime_error("cannot write " + path);
  }
}

long SizeOfFiles(const std::vector<std::string>& paths) {
  long long total = 0;
  for (const std::string& path : paths) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) total += data.nFileSizeLow;
  }
  return static_cast<long>(total);
}

}  // namespace standin
