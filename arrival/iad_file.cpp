#include "iad_file.h"

#include <fstream>

namespace hookwell {

namespace {

constexpr char kLogModule[] = "HvIadFile";
constexpr char kIncomplete[] = ".  Data in UI will be incomplete.";

bool StartsWith(const std::string& line, const std::string& target) {
  return line.compare(0, target.size(), target) == 0;
}

// The next line, if a line feed ends it: an unterminated last line counts as no line.
bool ReadTerminatedLine(std::istream& in, std::string& line) {
  return std::getline(in, line) && !in.eof();
}

bool SkipToLineStartingWith(std::istream& in, const std::string& target, std::string& line) {
  while (ReadTerminatedLine(in, line)) {
    if (StartsWith(line, target)) return true;
  }
  return false;
}

}  // namespace

HvIadFile::HvIadFile(ExtensionLog* log, std::string path) : log_(log), path_(std::move(path)) {
  title_ = Value("presentation", "name");
}

std::string HvIadFile::Value(const std::string& group, const std::string& tag) const {
  try {
    // Text mode: a carriage return before a line feed is dropped.
    std::ifstream file(path_);
    if (!file.is_open()) {
      Report(__LINE__, "Unable to open iad file " + path_ + kIncomplete);
      return std::string();
    }
    std::string line;
    if (!SkipToLineStartingWith(file, "[" + group + "]", line)) {
      Report(__LINE__, "Unable to find group " + group + " in iad file " + path_ + kIncomplete);
      return std::string();
    }
    // The tag may lie in a later group: the search does not stop at the next header.
    if (!SkipToLineStartingWith(file, tag + "=", line)) {
      Report(__LINE__, "Unable to find tag " + tag + " in iad file " + path_ + kIncomplete);
      return std::string();
    }
    const size_t opening = line.find("=\"");
    const size_t closing = opening == std::string::npos ? std::string::npos : line.find('"', opening + 2);
    if (closing == std::string::npos) {
      Report(__LINE__, "Unable to collect value for tag on line " + line + " of file " + path_);
      return std::string();
    }
    return line.substr(opening + 2, closing - opening - 2);
  } catch (...) {
    Report(__LINE__, "Unxpected error reading file " + path_);
    return std::string();
  }
}

void HvIadFile::Report(int line, const std::string& message) const {
  if (log_) log_->Report(kLogModule, line, message);
}

}  // namespace hookwell
