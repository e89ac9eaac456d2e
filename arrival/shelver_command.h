// The command line that hands one arrived Mendlet to the placement program:
//   "<base>\Halvern Extensions\Shelver.exe" "<Vessik directory>|<title text>"
#pragma once

#include <cstddef>
#include <string>

namespace hookwell {

// The placement program's buffer for the whole command line, terminating zero included.
constexpr std::size_t kCommandLineBufferSize = 2048;

// The part of a package title after its first ']'; empty when it has none.
std::string TitleText(const std::string& title);

// The directory two levels above client_executable (each level cut at its last backslash).
std::string BaseDirectoryOf(const std::string& client_executable);

std::string ShelverCommandLine(const std::string& base_directory, const std::string& vessik_directory,
                               const std::string& title_text);

bool FitsCommandLineBuffer(const std::string& command_line);

}  // namespace hookwell
