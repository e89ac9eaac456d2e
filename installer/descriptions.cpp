#include "descriptions.h"

#include <winsock2.h>
#include <windows.h>

#include <algorithm>
#include <vector>

#include "text_list.h"

namespace installer {

int ProtocolCode(const std::string& protocol) {
  if (EqualsNoCase(protocol, "ftp")) return kFtp;
  if (EqualsNoCase(protocol, "copy")) return kCopy;
  if (EqualsNoCase(protocol, "cdrom")) return kCdrom;
  if (EqualsNoCase(protocol, "http")) return kHttp;
  return kSelfExtracted;
}

namespace {

std::string RawValue(const std::string& path, const std::string& section, const char* key,
                     const char* fallback, size_t max_chars) {
  std::vector<char> buffer(max_chars + 1);
  ::GetPrivateProfileStringA(section.c_str(), key, fallback, buffer.data(),
                             static_cast<DWORD>(buffer.size()), path.c_str());
  return buffer.data();
}

}  // namespace

std::string Descriptions::ValueOf(const std::string& path, const std::string& section, const char* key,
                                  const char* fallback, size_t max_chars) const {
  // Substitution may lengthen the text: read the raw value generously, then cut.
  return Substitute(RawValue(path, section, key, fallback, 2048), strings_, max_chars);
}

std::string Descriptions::Value(const Component& component, const char* key, const char* fallback,
                                size_t max_chars) const {
  return ValueOf(component.description_path, component.section, key, fallback, max_chars);
}

int Descriptions::Number(const Component& component, const char* key, int fallback) const {
  std::string text = Value(component, key, "", 80);
  if (Trim(text).empty()) return fallback;
  return std::atoi(text.c_str());
}

void Descriptions::Read(const std::string& path, const std::string& work_directory) {
  if (RawValue(path, "defs", "allowintervention", "TRUE", 80) == "FALSE") allow_intervention_ = false;
  if (RawValue(path, "defs", "SaveProxySettings", "TRUE", 80) == "TRUE") save_proxy_settings_ = true;

  for (const std::string& section : SplitList(ValueOf(path, "defs", "strings", "", 2048))) {
    char text[2048] = {};
    DWORD length = ::GetPrivateProfileSectionA(section.c_str(), text, sizeof text, path.c_str());
    // The section comes as zero-separated lines.
    std::string lines;
    for (DWORD at = 0; at < length; ++at) lines += text[at] ? text[at] : '\n';
    AddStringSection(lines, &strings_);
  }

  for (const std::string& section : SplitList(ValueOf(path, "defs", "components", "", 2048))) {
    Component component;
    component.work_directory = work_directory;
    component.description_path = path;
    component.section = section;
    component.name = Value(component, "name", "", 260);
    if (component.name.empty() || Number(component, "enable", 1) == 0) continue;
    component.size_kb = Number(component, "size", 0);
    component.display_order = Number(component, "DisplayOrder", 100);
    component.install_order = Number(component, "InstallOrder", 100);
    component.protocol = ProtocolCode(Value(component, "Protocol", "selfext", 80));
    switch (component.protocol) {
      case kCopy:
        component.source_directory = Value(component, "SourceDir", "", 260);
        break;
      case kCdrom: {
        component.source_directory = installer_directory_;
        // A bare drive root keeps its backslash.
        if (component.source_directory.size() <= 2) component.source_directory += "\\";
        break;
      }
      default:
        component.source_directory = work_directory;
    }
    components_.push_back(component);
  }
}

void Descriptions::SortByDisplayOrder() {
  std::stable_sort(components_.begin(), components_.end(),
                   [](const Component& a, const Component& b) { return a.display_order < b.display_order; });
}

bool Descriptions::network_needed() const {
  for (const Component& component : components_) {
    if (component.protocol == kFtp || component.protocol == kHttp) return true;
  }
  return false;
}

}  // namespace installer
