// "MyMendlet.dat": one file name per line, relative to the Vessik directory. Lines end at a
// line feed (a carriage return before it is dropped); the last needs none; every line, a blank
// one included, is an entry.
#pragma once

#include <fstream>
#include <string>

namespace placement {

class FileList {
 public:
  explicit FileList(const std::string& path);
  bool is_open() const { return file_.is_open(); }
  // The next entry, in file order; false at the end of the file.
  bool Next(std::string& entry);

 private:
  std::ifstream file_;
};

}  // namespace placement
