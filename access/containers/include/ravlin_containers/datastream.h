// The datastream: a tree of named elements (datastream, objects, components, fields with raw
// data bytes) and its two text forms, the compact form and the markup form, plus a diagnostic
// dump. Writers refuse, with the reason, what a form cannot carry instead of writing a text that
// would read back differently.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace ravlin {

struct DatastreamField {
  std::string name;
  std::string data;
};

struct DatastreamComponent {
  std::string name;
  long type = 0;
  std::vector<DatastreamField> fields;
};

struct DatastreamObject {
  std::string name;
  long type = 0;
  std::vector<DatastreamComponent> components;
};

struct Datastream {
  std::string name;
  unsigned char major = 1;
  unsigned char minor = 0;
  long flags = 0;
  std::vector<DatastreamObject> objects;
};

enum class DatastreamForm { Compact, Markup };

// Compact form: a 16-digit header (major, minor, flags, length of the rest), then the
// datastream element; every element starts with a size prefix. Flags and types must lie in
// 0..0xFFFF, names be at most 0xFFFF bytes long, element counts at most 0xFFFF.
bool WriteCompactForm(const Datastream& stream, std::string& text, std::string& error);
bool ReadCompactForm(const std::string& text, Datastream& stream, std::string& error);

// Markup form: "<HTML><!--V...-->...</HTML>". Names and field data must not hold "-->", field
// names not "=", element counts be at most 0xFFFF.
bool WriteMarkupForm(const Datastream& stream, std::string& text, std::string& error);
bool ReadMarkupForm(const std::string& text, Datastream& stream, std::string& error);

bool WriteDatastream(const Datastream& stream, DatastreamForm form, std::string& text, std::string& error);
// Either form, told apart by the markup form's "<HTML>" opening.
bool ReadDatastream(const std::string& text, Datastream& stream, std::string& error);

// One line per element, field data written as characters.
void DumpDatastream(const Datastream& stream, std::FILE* file);
// The dump into a new text file (replacing one that exists).
bool DumpDatastreamToFile(const Datastream& stream, const std::string& path, std::string& error);

// The size prefix of an element whose text after the prefix is content_length characters long:
// "A" plus the number of digits, then the digits of the total length, prefix included.
std::string SizePrefix(size_t content_length);

}  // namespace ravlin
