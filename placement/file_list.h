// "MyMendlet.dat": one file name per line, relative to the Vessik directory. Read as the C
// runtime's text mode reads a file: a carriage return before a line feed is dropped, a Ctrl-Z
// (0x1A) ends the list. Lines end at a line feed; the last needs none; every line, a blank one
// included, is an entry.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "comsupport/unique_handle.h"

namespace placement {

class FileList {
 public:
  // Reads from an open file, which it then owns.
  explicit FileList(comsupport::UniqueHandle file);
  // The next entry, in file order; false at the end of the list.
  bool Next(std::string& entry);

 private:
  // The next byte of the file; -1 at its end or on a read error.
  int Get();
  int Peek();

  comsupport::UniqueHandle file_;
  std::vector<char> buffer_;
  size_t position_ = 0;
  size_t filled_ = 0;
  bool ended_ = false;
};

}  // namespace placement
