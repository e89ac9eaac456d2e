#include "command_line.h"

namespace placement {

std::string ArgumentText(const std::string& command_line) {
  size_t at = 0;
  if (!command_line.empty() && command_line[0] == '"') {
    size_t closing = command_line.find('"', 1);
    at = closing == std::string::npos ? command_line.size() : closing + 1;
  } else {
    at = command_line.find_first_of(" \t");
    if (at == std::string::npos) at = command_line.size();
  }
  while (at < command_line.size() && (command_line[at] == ' ' || command_line[at] == '\t')) ++at;
  return command_line.substr(at);
}

std::optional<ShelverArguments> SplitArguments(const std::string& argument_text) {
  if (argument_text.empty() || argument_text[0] != '"') return std::nullopt;
  size_t bar = argument_text.find('|');
  if (bar == std::string::npos) return std::nullopt;
  ShelverArguments arguments;
  arguments.vessik_directory = argument_text.substr(1, bar - 1);
  arguments.title_text = argument_text.substr(bar + 1);
  // A command line cut short may have lost its closing quotation mark; the title keeps its text.
  if (!arguments.title_text.empty() && arguments.title_text.back() == '"') arguments.title_text.pop_back();
  return arguments;
}

}  // namespace placement
