// make-installer INSTALLER OUTPUT FILE[=NAME]...
// Writes OUTPUT: INSTALLER (any payload it carried dropped) followed by one record per FILE,
// stored under NAME (a relative path with "\" separators; the file's own name by default), and
// the trailer with the start offset and "ZovAzur Data". Names that are absolute, carry a drive
// or climb with ".." are refused.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "payload.h"
#include "safe_name.h"

namespace {

bool ReadWhole(const std::string& path, std::string* bytes) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  bytes->assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  return true;
}

void PutLittleEndian(std::string* out, uint32_t value, int bytes) {
  for (int index = 0; index < bytes; ++index) out->push_back(static_cast<char>((value >> (8 * index)) & 0xFF));
}

// The executable without a payload it already carries.
std::string WithoutPayload(const std::string& bytes) {
  const size_t marker = sizeof installer::kPayloadMarker - 1;
  if (bytes.size() < 16 || bytes.compare(bytes.size() - marker, marker, installer::kPayloadMarker) != 0) return bytes;
  const unsigned char* trailer = reinterpret_cast<const unsigned char*>(bytes.data() + bytes.size() - 16);
  uint32_t start = trailer[0] | (trailer[1] << 8) | (trailer[2] << 16) | (static_cast<uint32_t>(trailer[3]) << 24);
  return start <= bytes.size() - 16 ? bytes.substr(0, start) : bytes;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: make-installer INSTALLER OUTPUT FILE[=NAME]...\n");
    return 2;
  }
  std::string output;
  if (!ReadWhole(argv[1], &output)) {
    std::fprintf(stderr, "make-installer: cannot read %s\n", argv[1]);
    return 1;
  }
  output = WithoutPayload(output);
  const uint32_t start = static_cast<uint32_t>(output.size());
  for (int index = 3; index < argc; ++index) {
    std::string argument = argv[index];
    // "=" never occurs in a Windows path, so it separates the stored name.
    size_t equals = argument.find('=');
    std::string path = argument.substr(0, equals);
    std::string name = equals == std::string::npos ? path.substr(path.find_last_of("\\/") + 1) : argument.substr(equals + 1);
    for (char& c : name) {
      if (c == '/') c = '\\';
    }
    if (!installer::IsSafeRelativeName(name)) {
      std::fprintf(stderr, "make-installer: refusing the name %s\n", name.c_str());
      return 1;
    }
    std::string data;
    if (!ReadWhole(path, &data)) {
      std::fprintf(stderr, "make-installer: cannot read %s\n", path.c_str());
      return 1;
    }
    PutLittleEndian(&output, static_cast<uint32_t>(data.size()), 4);
    PutLittleEndian(&output, static_cast<uint32_t>(name.size() + 1), 2);
    PutLittleEndian(&output, 0xFFFF, 2);
    output += name;
    output.push_back('\0');
    output += data;
  }
  PutLittleEndian(&output, start, 4);
  output += installer::kPayloadMarker;
  std::ofstream file(argv[2], std::ios::binary | std::ios::trunc);
  if (!file.write(output.data(), static_cast<std::streamsize>(output.size()))) {
    std::fprintf(stderr, "make-installer: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
