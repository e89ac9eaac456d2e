// The archive appended to the installer's executable: records of (size, name length,
// attributes, name, data) from the start offset up to the trailer "ZovAzur Data".
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace installer {

struct PayloadRecord {
  std::string name;  // relative path with "\" separators
  uint32_t data_offset = 0;
  uint32_t size = 0;
};

constexpr char kPayloadMarker[] = "ZovAzur Data";

// The records of path's payload (empty without the trailer). False, with *error, when a record
// is unusable: its name absolute, with a drive, climbing with "..", or its data beyond the end.
bool ReadPayload(const std::string& path, std::vector<PayloadRecord>* records, std::string* error);

// Extracts every record below target (creating folders, replacing files); extracted is called
// with each file's path. Nothing is written unless every record is sound.
bool ExtractPayload(const std::string& path, const std::string& target,
                    const std::function<void(const std::string&)>& extracted, std::string* error);

}  // namespace installer
