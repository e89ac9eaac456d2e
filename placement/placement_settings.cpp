#include "placement_settings.h"

#include <cctype>

namespace placement {

namespace {

std::string WithoutTrailingSpace(std::string text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.pop_back();
  return text;
}

}  // namespace

PlacementSettings MakePlacementSettings(const std::string& target_directory, const std::string& mirror_flag) {
  PlacementSettings settings;
  settings.target_directory = WithoutTrailingSpace(target_directory);
  settings.mirror_flag = WithoutTrailingSpace(mirror_flag);
  for (char& c : settings.mirror_flag) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return settings;
}

bool PlacementDisabled(const PlacementSettings& settings) {
  return settings.target_directory.empty() || settings.target_directory == "NULL";
}

bool MirrorTree(const PlacementSettings& settings) { return settings.mirror_flag == "Y"; }

}  // namespace placement
