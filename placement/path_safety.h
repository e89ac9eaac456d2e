// Checks on names that come with a delivered package (file-list entries, title levels): a
// name must stay inside the directory it is joined to.
#pragma once

#include <string>

namespace placement {

// A relative file name of "MyMendlet.dat": refused when it is absolute ("\x", "/x", UNC), names
// a drive or an alternate stream (any ":"), has a ".." level (or a level of dots and blanks
// that Windows would read as one), a device name (CON, NUL, COM1...) or a control character.
// "\" and "/" both separate levels. An empty entry is safe: it names the directory itself.
bool IsSafeEntry(const std::string& entry);

// A title path (the title text with "/" already turned into "\") appended below the target
// directory: the same level rules as an entry; empty levels are harmless there.
bool IsSafeTitlePath(const std::string& title_path);

}  // namespace placement
