// The text rules of the story list: how a story's category is matched against a subchannel
// or a channel category, and how an attachment location is cleaned and judged.
#pragma once

#include <string>

namespace storyroll {

// Every "//" becomes "&slash;": a double slash is part of
// a name, never a separator.
std::string EscapeDoubleSlash(const std::string& category);
// The story is listed under filter when filter is empty, equals the (escaped) category, or the
// category begins with filter followed by "/" (compared exactly). The filter's own "//" are
// escaped as the category's are.
bool InSubChannel(const std::string& category, const std::string& filter);
// The channel belongs to a category request when its category begins with it, in any case.
bool InCategory(const std::string& channel_category, const std::string& requested);
// "file://", or a quote and "file://", or a drive path ("C:\...", also after "/" or a quote).
bool IsLocalPath(const std::string& value);
// Every "file:///", then every "file://" (any case), then every double quote removed.
std::string StripFileUrl(const std::string& value);
// An attachment named "ZR_TSR..." (any case, more than five characters after the last
// separator) is the client's own and does not count.
bool IsClientAttachment(const std::string& cleaned_location);

}  // namespace storyroll
