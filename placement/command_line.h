// Shelver's command line: one quoted argument "<Vessik directory>|<title text>", as the arrival
// extension builds it.
#pragma once

#include <optional>
#include <string>

namespace placement {

struct ShelverArguments {
  std::string vessik_directory;  // as the client reports it, ending with a backslash
  std::string title_text;        // the package title after its first "]"
};

// The text after the program name of a whole command line (GetCommandLine): the program may
// be quoted; the blanks that separate it from the argument are skipped.
std::string ArgumentText(const std::string& command_line);

// Splits the argument at its first "|". None when the argument does not start with a
// quotation mark or has no bar. The closing quotation mark is not part of the title.
std::optional<ShelverArguments> SplitArguments(const std::string& argument_text);

}  // namespace placement
