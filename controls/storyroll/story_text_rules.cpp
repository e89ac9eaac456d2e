#include "story_text_rules.h"

#include <windows.h>

namespace storyroll {

namespace {

bool StartsWithNoCase(const std::string& text, size_t at, const char* prefix) {
  const size_t length = ::lstrlenA(prefix);
  return text.size() >= at + length && ::CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, text.c_str() + at,
                                                        static_cast<int>(length), prefix, static_cast<int>(length)) ==
                                           CSTR_EQUAL;
}

std::string RemoveAllNoCase(const std::string& text, const char* what) {
  const size_t length = ::lstrlenA(what);
  std::string result;
  result.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    if (StartsWithNoCase(text, i, what)) {
      i += length;
    } else {
      result += text[i++];
    }
  }
  return result;
}

}  // namespace

std::string EscapeDoubleSlash(const std::string& category) {
  std::string result;
  result.reserve(category.size());
  for (size_t i = 0; i < category.size();) {
    if (category.compare(i, 2, "//") == 0) {
      result += "&slash;";
      i += 2;
    } else {
      result += category[i++];
    }
  }
  return result;
}

bool InSubChannel(const std::string& category, const std::string& raw_filter) {
  // A filter may come as the model names sub-channels or as the story's own category.
  const std::string filter = EscapeDoubleSlash(raw_filter);
  if (filter.empty() || category == filter) return true;
  return category.size() > filter.size() && category.compare(0, filter.size(), filter) == 0 &&
         category[filter.size()] == '/';
}

bool InCategory(const std::string& channel_category, const std::string& requested) {
  return StartsWithNoCase(channel_category, 0, requested.c_str());
}

bool IsLocalPath(const std::string& value) {
  if (StartsWithNoCase(value, 0, "file://")) return true;
  if (!value.empty() && value[0] == '"' && StartsWithNoCase(value, 1, "file://")) return true;
  if (value.size() <= 4) return false;
  const size_t drive = (value[0] == '/' || value[0] == '"') ? 2 : 1;
  return value.size() > drive + 1 && value[drive] == ':' && value[drive + 1] == '\\';
}

std::string StripFileUrl(const std::string& value) {
  return RemoveAllNoCase(RemoveAllNoCase(RemoveAllNoCase(value, "file:///"), "file://"), "\"");
}

bool IsClientAttachment(const std::string& cleaned_location) {
  size_t separator = cleaned_location.rfind('\\');
  if (separator == std::string::npos) separator = cleaned_location.rfind('/');
  if (separator == std::string::npos) return false;
  const std::string name = cleaned_location.substr(separator + 1);
  return name.size() > 5 && StartsWithNoCase(name, 0, "ZR_TSR");
}

}  // namespace storyroll
