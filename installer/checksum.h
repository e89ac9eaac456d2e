// The download checksum: the first four bytes of the MD5 digest read as a signed 32-bit
// little-endian number. MD5 comes from the CryptoAPI.
#pragma once

#include <windows.h>
#include <wincrypt.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace installer {

class Checksum {
 public:
  Checksum();
  ~Checksum();
  Checksum(const Checksum&) = delete;
  Checksum& operator=(const Checksum&) = delete;

  bool ok() const { return hash_ != 0; }
  // A copy of the state so far (the platform's hash duplication); none when it fails.
  std::unique_ptr<Checksum> Duplicate() const;
  void Add(const void* data, size_t size);
  int32_t Value();

 private:
  struct Adopt {};
  Checksum(Adopt) {}
  HCRYPTPROV provider_ = 0;
  HCRYPTHASH hash_ = 0;
};

// The checksum of a whole file; none when it cannot be read.
std::optional<int32_t> FileChecksum(const std::string& path, uint64_t* size = nullptr);

}  // namespace installer
