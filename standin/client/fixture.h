// Fixtures: JSON text that describes the model (the format is in README.md beside this file).
// Every Apply function sets only the members the JSON names, so the same code loads a fixture
// and applies a change from the control interface.
#pragma once

#include <string>

#include "json_value.h"
#include "model.h"

namespace standin {

// A new model from a fixture; directories not given follow program_directory's installation.
// Throws std::runtime_error naming the fault.
Model LoadModel(const Json& fixture, const std::string& program_directory);

void ApplySettings(const Json& json, Settings& settings);
void ApplyChannel(const Json& json, Channel& channel, const Settings& settings);
void ApplyStory(const Json& json, Story& story);
void ApplyVessik(const Json& json, Vessik& vessik, const Settings& settings);
void ApplyEntry(const Json& json, DirectoryEntry& entry);

}  // namespace standin
