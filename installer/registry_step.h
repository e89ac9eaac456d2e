// "registry%d" steps: a section of lines "root,key,value=type,data" written into the registry.
#pragma once

#include <string>

namespace installer {

// step: "section" or "section@file"; description_path: the component's own description file;
// source_directory: where a named file is looked for when its name is relative.
// False (with *error) for an unknown root, a key that cannot be created or a bad line.
bool ApplyRegistryStep(const std::string& step, const std::string& description_path,
                       const std::string& source_directory, std::string* error);

// One line of such a section.
bool ApplyRegistryLine(const std::string& line, std::string* error);

}  // namespace installer
