#include "command_line.h"

#include <vector>

#include "text_list.h"

namespace installer {

namespace {

// Splits at blanks; a quoted word keeps its blanks (without the quotes).
std::vector<std::string> Words(const std::string& text) {
  std::vector<std::string> words;
  std::string current;
  bool quoted = false;
  bool have = false;
  for (char c : text) {
    if (c == '"') {
      quoted = !quoted;
      have = true;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (have) words.push_back(current);
      current.clear();
      have = false;
    } else {
      current += c;
      have = true;
    }
  }
  if (have) words.push_back(current);
  return words;
}

bool IsOption(const std::string& word, const char* name) {
  return (word.size() > 1 && (word[0] == '/' || word[0] == '-')) && EqualsNoCase(word.substr(1), name);
}

}  // namespace

Options ParseCommandLine(const std::string& command_line) {
  Options options;
  options.command_line = command_line;
  std::vector<std::string> words = Words(command_line);
  for (size_t index = 0; index < words.size(); ++index) {
    const std::string& word = words[index];
    if (word == "-inf" && index + 1 < words.size()) {
      options.inf_path = words[++index];
    } else if (IsOption(word, "tray")) {
      options.tray = true;
    } else if (IsOption(word, "NoIntervention")) {
      options.no_intervention = true;
    } else if (IsOption(word, "AskForRestart")) {
      options.ask_for_restart = true;
    } else if (IsOption(word, "SaveProxySettings")) {
      options.save_proxy_settings = true;
    } else if (IsOption(word, "is")) {
      options.record_scripts = true;
    } else if (word == "-run2") {
      options.second_instance = true;
    }
  }
  return options;
}

}  // namespace installer
