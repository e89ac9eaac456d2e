// Small text helpers of the installer: lists separated by commas and/or blanks, comparisons
// without regard to case, file paths.
#pragma once

#include <string>
#include <vector>

namespace installer {

// "a, b c,,d" gives a, b, c, d.
std::vector<std::string> SplitList(const std::string& text);
bool EqualsNoCase(const std::string& a, const std::string& b);
bool EndsWithNoCase(const std::string& text, const std::string& tail);
std::string Trim(const std::string& text);
// "C:\dir\file" gives "C:\dir"; a name without a folder gives "".
std::string DirectoryOf(const std::string& path);
std::string JoinPath(const std::string& directory, const std::string& name);
bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);
// Creates every missing folder of directory; false when one cannot be made.
bool CreateDirectories(const std::string& directory);
// Removes a folder with everything in it.
void RemoveTree(const std::string& path);
// printf-style formatting of one resource text.
std::string Format(const char* format, ...);

}  // namespace installer
