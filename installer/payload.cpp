#include "payload.h"

#include <winsock2.h>
#include <windows.h>

#include <cstring>

#include "comsupport/unique_handle.h"
#include "safe_name.h"
#include "text_list.h"

namespace installer {

namespace {

bool ReadAt(HANDLE file, uint64_t offset, void* buffer, DWORD size) {
  LARGE_INTEGER position;
  position.QuadPart = static_cast<LONGLONG>(offset);
  DWORD read = 0;
  return ::SetFilePointerEx(file, position, nullptr, FILE_BEGIN) && ::ReadFile(file, buffer, size, &read, nullptr) &&
         read == size;
}

}  // namespace

bool ReadPayload(const std::string& path, std::vector<PayloadRecord>* records, std::string* error) {
  records->clear();
  comsupport::UniqueHandle file(
      ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file) {
    *error = "cannot open " + path;
    return false;
  }
  LARGE_INTEGER size = {};
  ::GetFileSizeEx(file.get(), &size);
  const uint64_t file_size = static_cast<uint64_t>(size.QuadPart);
  unsigned char trailer[16] = {};
  if (file_size < 16 || !ReadAt(file.get(), file_size - 16, trailer, 16) ||
      std::memcmp(trailer + 4, kPayloadMarker, 12) != 0)
    return true;  // no payload
  const uint64_t end = file_size - 16;
  uint64_t at = trailer[0] | (trailer[1] << 8) | (trailer[2] << 16) | (static_cast<uint32_t>(trailer[3]) << 24);
  while (at < end) {
    unsigned char header[8] = {};
    if (at + 8 > end || !ReadAt(file.get(), at, header, 8)) break;
    uint32_t data_size = header[0] | (header[1] << 8) | (header[2] << 16) | (static_cast<uint32_t>(header[3]) << 24);
    uint16_t name_length = static_cast<uint16_t>(header[4] | (header[5] << 8));
    if (name_length == 0 || at + 8 + name_length > end) {
      *error = "payload record without a name";
      return false;
    }
    std::string name(name_length, '\0');
    if (!ReadAt(file.get(), at + 8, name.data(), name_length)) break;
    name = name.c_str();  // up to the terminating zero
    if (name.size() > 259) name.resize(259);
    if (!IsSafeRelativeName(name)) {
      *error = "payload record with an unsafe name: " + name;
      return false;
    }
    const uint64_t data_offset = at + 8 + name_length;
    if (data_offset + data_size > end) {
      *error = "payload record " + name + " runs past the trailer";
      return false;
    }
    records->push_back({name, static_cast<uint32_t>(data_offset), data_size});
    at = data_offset + data_size;
  }
  return true;
}

bool ExtractPayload(const std::string& path, const std::string& target,
                    const std::function<void(const std::string&)>& extracted, std::string* error) {
  std::vector<PayloadRecord> records;
  if (!ReadPayload(path, &records, error)) return false;
  comsupport::UniqueHandle file(
      ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file) {
    *error = "cannot open " + path;
    return false;
  }
  char buffer[2048];
  for (const PayloadRecord& record : records) {
    std::string destination = JoinPath(target, record.name);
    if (!CreateDirectories(DirectoryOf(destination))) {
      *error = "cannot create the folder of " + destination;
      return false;
    }
    comsupport::UniqueHandle out(
        ::CreateFileA(destination.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!out) {
      *error = "cannot create " + destination;
      return false;
    }
    LARGE_INTEGER position;
    position.QuadPart = record.data_offset;
    ::SetFilePointerEx(file.get(), position, nullptr, FILE_BEGIN);
    for (uint32_t left = record.size; left > 0;) {
      DWORD chunk = left < sizeof buffer ? left : sizeof buffer;
      DWORD read = 0, written = 0;
      if (!::ReadFile(file.get(), buffer, chunk, &read, nullptr) || read != chunk ||
          !::WriteFile(out.get(), buffer, chunk, &written, nullptr) || written != chunk) {
        *error = "cannot write " + destination;
        return false;
      }
      left -= chunk;
    }
    out.reset();
    extracted(destination);
  }
  return true;
}

}  // namespace installer
