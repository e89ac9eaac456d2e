#include "file_list.h"

namespace placement {

FileList::FileList(const std::string& path) : file_(path, std::ios::binary) {}

bool FileList::Next(std::string& entry) {
  if (!std::getline(file_, entry)) return false;
  if (!entry.empty() && entry.back() == '\r') entry.pop_back();
  return true;
}

}  // namespace placement
