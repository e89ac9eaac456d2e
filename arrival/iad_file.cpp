#include "iad_file.h"

#include <fstream>

namespace hookwell {

namespace {

constexpr char kLogModule[] = "HvIadFile";
constexpr char kIncomplete[] = ".  Data in UI will be incomplete.";

bool StartsWith(const std::string& line, const std::string& target) {
  return line.compare(0, target.size(), target) == 0;
}

enum class LineRead { kLine, kEnd, kTooLong };

// The lines of an open description file, counted from 1. A line longer than
// kMaximumIadLineBytes is not kept: only its number is.
class IadLines {
 public:
  explicit IadLines(std::istream& in) : in_(in) {}

  // The next line if a line feed ends it: an unterminated last line counts as no line.
  LineRead Next(std::string& line) {
    line.clear();
    ++number_;
    std::streambuf* buffer = in_.rdbuf();
    for (;;) {
      const int next = buffer->sbumpc();
      if (next == std::char_traits<char>::eof()) return LineRead::kEnd;
      if (next == '\n') return LineRead::kLine;
      if (line.size() == kMaximumIadLineBytes) return LineRead::kTooLong;
      line.push_back(static_cast<char>(next));
    }
  }

  LineRead SkipToLineStartingWith(const std::string& target, std::string& line) {
    for (;;) {
      const LineRead read = Next(line);
      if (read != LineRead::kLine || StartsWith(line, target)) return read;
    }
  }

  int number() const { return number_; }

 private:
  std::istream& in_;
  int number_ = 0;
};

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
    IadLines lines(file);
    std::string line;
    LineRead read = lines.SkipToLineStartingWith("[" + group + "]", line);
    if (read == LineRead::kEnd) {
      Report(__LINE__, "Unable to find group " + group + " in iad file " + path_ + kIncomplete);
      return std::string();
    }
    // The tag may lie in a later group: the search does not stop at the next header.
    if (read == LineRead::kLine) read = lines.SkipToLineStartingWith(tag + "=", line);
    if (read == LineRead::kEnd) {
      Report(__LINE__, "Unable to find tag " + tag + " in iad file " + path_ + kIncomplete);
      return std::string();
    }
    if (read == LineRead::kTooLong) {
      Report(__LINE__, "Unable to read line " + std::to_string(lines.number()) + " of iad file " + path_ +
                           ": it is longer than " + std::to_string(kMaximumIadLineBytes) + " bytes" + kIncomplete);
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
