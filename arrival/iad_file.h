// HvIadFile: reads one quoted tag value of one group from a package description file
// ("info.iad"), and the package title at construction. Every problem goes to the log and
// gives an empty value; nothing is thrown towards the caller. The file is open only while a
// value is looked up.
#pragma once

#include <cstddef>
#include <string>

#include "extension_log.h"

namespace hookwell {

// The longest line of a description file that is read; a longer one makes the value unreadable.
constexpr size_t kMaximumIadLineBytes = 64 * 1024;

class HvIadFile {
 public:
  // log belongs to the caller and must outlive the reader.
  HvIadFile(ExtensionLog* log, std::string path);

  // The value of "name" in group "presentation"; empty when it could not be read.
  const std::string& title() const { return title_; }

  // The value of tag in group, or empty (logged) when there is none.
  std::string Value(const std::string& group, const std::string& tag) const;

 private:
  void Report(int line, const std::string& message) const;

  ExtensionLog* log_;
  std::string path_;
  std::string title_;
};

}  // namespace hookwell
