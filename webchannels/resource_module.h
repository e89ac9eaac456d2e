// The module that dialogs and strings come from: the component itself, or the resource module
// of the user's language ("<component dir>\<LANG>\Chanbind.DLL", loaded as a data file), chosen
// once per process from OverrideLocale (current user, else machine) or the user's locale.
#pragma once

#include <windows.h>

#include <string>

namespace chanbind {

// The language code that the settings choose ("EN" when they say nothing).
std::string ResourceLanguage();

// The path of the resource module for a language, beside component_path.
std::string LanguageModulePath(const std::string& component_path, const std::string& language);

HMODULE ResourceModule();

// A string of the resource module (empty when it has none).
std::string ResourceString(UINT id);

}  // namespace chanbind
