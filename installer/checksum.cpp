#include "checksum.h"

#include <vector>

#include "comsupport/unique_handle.h"

namespace installer {

Checksum::Checksum() {
  if (::CryptAcquireContextA(&provider_, nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT)) {
    if (!::CryptCreateHash(provider_, CALG_MD5, 0, 0, &hash_)) hash_ = 0;
  }
}

Checksum::~Checksum() {
  if (hash_) ::CryptDestroyHash(hash_);
  if (provider_) ::CryptReleaseContext(provider_, 0);
}

std::unique_ptr<Checksum> Checksum::Duplicate() const {
  std::unique_ptr<Checksum> copy(new Checksum(Adopt{}));
  if (!hash_ || !::CryptContextAddRef(provider_, nullptr, 0)) return nullptr;
  copy->provider_ = provider_;
  if (!::CryptDuplicateHash(hash_, nullptr, 0, &copy->hash_)) {
    copy->hash_ = 0;
    return nullptr;
  }
  return copy;
}

void Checksum::Add(const void* data, size_t size) {
  if (hash_ && size) ::CryptHashData(hash_, static_cast<const BYTE*>(data), static_cast<DWORD>(size), 0);
}

int32_t Checksum::Value() {
  BYTE digest[16] = {};
  DWORD length = sizeof digest;
  if (!hash_ || !::CryptGetHashParam(hash_, HP_HASHVAL, digest, &length, 0)) return 0;
  uint32_t value = digest[0] | (digest[1] << 8) | (digest[2] << 16) | (static_cast<uint32_t>(digest[3]) << 24);
  return static_cast<int32_t>(value);
}

std::optional<int32_t> FileChecksum(const std::string& path, uint64_t* size) {
  comsupport::UniqueHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file) return std::nullopt;
  Checksum checksum;
  if (!checksum.ok()) return std::nullopt;
  std::vector<char> buffer(256 * 1024);
  uint64_t total = 0;
  DWORD read = 0;
  while (::ReadFile(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr) && read > 0) {
    checksum.Add(buffer.data(), read);
    total += read;
  }
  if (size) *size = total;
  return checksum.Value();
}

}  // namespace installer
