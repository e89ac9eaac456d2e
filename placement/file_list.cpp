#include "file_list.h"

namespace placement {

namespace {

const int kEndOfText = 0x1A;  // Ctrl-Z: text mode reads no further
const size_t kBufferBytes = 64 * 1024;

}  // namespace

FileList::FileList(comsupport::UniqueHandle file) : file_(std::move(file)), buffer_(kBufferBytes) {}

int FileList::Peek() {
  if (position_ == filled_) {
    DWORD read = 0;
    if (!file_ || !::ReadFile(file_.get(), buffer_.data(), static_cast<DWORD>(buffer_.size()), &read, nullptr)) {
      read = 0;
    }
    position_ = 0;
    filled_ = read;
    if (read == 0) return -1;
  }
  return static_cast<unsigned char>(buffer_[position_]);
}

int FileList::Get() {
  int c = Peek();
  if (c != -1) ++position_;
  return c;
}

bool FileList::Next(std::string& entry) {
  entry.clear();
  if (ended_) return false;
  bool any = false;
  for (;;) {
    int c = Get();
    if (c == -1 || c == kEndOfText) {
      ended_ = true;
      return any;
    }
    any = true;
    if (c == '\n') return true;
    // Only a carriage return that a line feed follows goes; a lone one stays in the entry.
    if (c == '\r' && Peek() == '\n') continue;
    entry += static_cast<char>(c);
  }
}

}  // namespace placement
