// The component description files (.inf): their "defs", string sections and components. Every
// value read passes through substitution from the string sections loaded so far.
#pragma once

#include <string>
#include <vector>

#include "component.h"
#include "text_substitution.h"

namespace installer {

class Descriptions {
 public:
  // installer_directory: where a "cdrom" component's files are.
  explicit Descriptions(std::string installer_directory) : installer_directory_(std::move(installer_directory)) {}

  // Reads one description file; its components are appended in file order.
  void Read(const std::string& path, const std::string& work_directory);
  // Sorts the components by display order (stable).
  void SortByDisplayOrder();

  // A value of a component's section, substituted and cut at max_chars.
  std::string Value(const Component& component, const char* key, const char* fallback = "",
                    size_t max_chars = 260) const;
  int Number(const Component& component, const char* key, int fallback) const;
  // A value of any section of any file.
  std::string ValueOf(const std::string& path, const std::string& section, const char* key,
                      const char* fallback, size_t max_chars) const;

  std::vector<Component>& components() { return components_; }
  const std::vector<Component>& components() const { return components_; }
  bool allow_intervention() const { return allow_intervention_; }
  bool save_proxy_settings() const { return save_proxy_settings_; }
  bool network_needed() const;

 private:
  std::string installer_directory_;
  std::vector<Component> components_;
  StringEntries strings_;
  bool allow_intervention_ = true;
  bool save_proxy_settings_ = false;
};

}  // namespace installer
