// Whether a local file path stored in a story may be handed to the page: safe file types pass,
// so do channels trusted by their security settings or listed under IE\SecureContent; for the
// rest the user is asked with the "Security Warning" dialog, whose check boxes add the channel
// (or "*") to the current user's list. The lists are read at every check.
#pragma once

#include <windows.h>

#include <string>

#include "zorvane.h"

namespace chanbind {

// A value naming a local file: a drive path ("C:\" or "C:/"), a UNC path, or a file: URL.
bool IsLocalPath(const std::wstring& value);

// Whether the file's real type is one of safe_list (comma-separated extensions; an entry of three
// letters also stands for its four-letter form, "htm" for "html").
bool IsSafeFileType(const std::wstring& path, const std::wstring& safe_list);

// Whether the channel's security settings let its files open without a warning.
bool ChannelTrustsFiles(IZorvaneChannel4_2* channel);

// Whether IE\SecureContent (current user, then machine) lists "*" or the channel.
bool SecureContentListed(const std::wstring& channel_name);

// The dialog's answers.
enum WarningAnswer { kWarningNo = 0, kWarningYes = 1, kWarningYesForChannel = 2, kWarningYesForAll = 3 };
WarningAnswer AskSecurityWarning(const std::wstring& channel_name);

// The whole check for a path read from a row of the channel (may show the dialog).
bool ContentAllowed(const std::wstring& path, const std::wstring& channel_name, IZorvaneChannel4_2* channel);

}  // namespace chanbind
