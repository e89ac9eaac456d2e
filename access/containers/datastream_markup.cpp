// The markup form of the datastream: HTML comments, one per element.
#include <cerrno>
#include <climits>
#include <cstdlib>

#include "datastream_limits.h"
#include "ravlin_containers/datastream.h"

namespace ravlin {

namespace {

const char kEnd[] = "-->";

bool CheckName(const char* kind, const std::string& name, bool is_field, std::string& error) {
  if (name.find(kEnd) != std::string::npos) {
    error = ElementLabel(kind, name) + " has \"-->\" in its name, which the markup form cannot carry";
    return false;
  }
  if (is_field && name.find('=') != std::string::npos) {
    error = ElementLabel(kind, name) + " has \"=\" in its name, which the markup form cannot carry";
    return false;
  }
  return true;
}

void AppendNumber(std::string& out, long value) { out += std::to_string(value); }

bool AppendComponent(const DatastreamComponent& component, std::string& out, std::string& error) {
  if (!CheckName("component", component.name, false, error) ||
      !CheckCount(component.fields.size(), "fields", ElementLabel("component", component.name), error))
    return false;
  out += "<!--C:" + component.name + ":";
  AppendNumber(out, component.type);
  out += ":";
  AppendNumber(out, static_cast<long>(component.fields.size()));
  out += kEnd;
  for (const DatastreamField& field : component.fields) {
    if (!CheckName("field", field.name, true, error)) return false;
    if (field.data.find(kEnd) != std::string::npos) {
      error = ElementLabel("field", field.name) + " has \"-->\" in its data, which the markup form cannot carry";
      return false;
    }
    out += "<!--F:" + field.name + "=" + field.data + kEnd;
  }
  return true;
}

class MarkupReader {
 public:
  MarkupReader(const std::string& text, std::string& error) : text_(text), error_(error) {}

  bool Read(Datastream& stream) {
    std::string version;
    if (!Literal("<HTML>") || !Tag("<!--V", version)) return false;
    size_t dot = version.find('.'), colon = version.find(':');
    long major = 0, minor = 0;
    if (dot == std::string::npos || colon == std::string::npos || colon < dot ||
        !Number(version.substr(0, dot), 0, 255, major) || !Number(version.substr(dot + 1, colon - dot - 1), 0, 255, minor) ||
        !Number(version.substr(colon + 1), LONG_MIN, LONG_MAX, stream.flags))
      return Fail("the version comment is not \"V<major>.<minor>:<flags>\"");
    stream.major = static_cast<unsigned char>(major);
    stream.minor = static_cast<unsigned char>(minor);
    std::string content;
    long count = 0;
    if (!Tag("<!--DS:", content) || !SplitLast(content, stream.name, count, 0, kDatastreamMax16))
      return Fail("the datastream comment is not \"DS:<name>:<count>\"");
    for (long i = 0; i < count; ++i) {
      stream.objects.emplace_back();
      DatastreamObject& object = stream.objects.back();
      long components = 0;
      if (!Element("<!--O:", object.name, object.type, components)) return false;
      for (long j = 0; j < components; ++j) {
        object.components.emplace_back();
        DatastreamComponent& component = object.components.back();
        long fields = 0;
        if (!Element("<!--C:", component.name, component.type, fields)) return false;
        for (long k = 0; k < fields; ++k) {
          component.fields.emplace_back();
          if (!Field(component.fields.back())) return false;
        }
      }
    }
    if (!Literal("</HTML>")) return false;
    SkipBlanks();
    if (pos_ != text_.size()) return Fail("text follows \"</HTML>\"");
    return true;
  }

 private:
  // "<!--O:name:type:count-->" or the same for a component.
  bool Element(const char* opening, std::string& name, long& type, long& count) {
    std::string content, rest;
    if (!Tag(opening, content)) return false;
    if (!SplitLast(content, rest, count, 0, kDatastreamMax16) || !SplitLast(rest, name, type, LONG_MIN, LONG_MAX))
      return Fail(std::string("the comment after \"") + opening + "\" is not \"<name>:<type>:<count>\"");
    return true;
  }

  bool Field(DatastreamField& field) {
    if (!Literal("<!--F:")) return false;
    size_t equals = text_.find('=', pos_);
    size_t end = text_.find(kEnd, pos_);
    if (equals == std::string::npos || end == std::string::npos || end < equals)
      return Fail("a field comment is not \"F:<name>=<data>\"");
    field.name = text_.substr(pos_, equals - pos_);
    field.data = text_.substr(equals + 1, end - equals - 1);
    pos_ = end + 3;
    return true;
  }

  // The text between opening and the next "-->".
  bool Tag(const char* opening, std::string& content) {
    if (!Literal(opening)) return false;
    size_t end = text_.find(kEnd, pos_);
    if (end == std::string::npos) return Fail("a comment is not closed with \"-->\"");
    content = text_.substr(pos_, end - pos_);
    pos_ = end + 3;
    return true;
  }

  bool Literal(const std::string& expected) {
    SkipBlanks();
    if (text_.compare(pos_, expected.size(), expected) != 0) return Fail("\"" + expected + "\" expected");
    pos_ += expected.size();
    return true;
  }

  void SkipBlanks() {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\r' || text_[pos_] == '\n'))
      ++pos_;
  }

  // "head:number", split at the last colon.
  static bool SplitLast(const std::string& content, std::string& head, long& number, long low, long high) {
    size_t colon = content.rfind(':');
    if (colon == std::string::npos) return false;
    head = content.substr(0, colon);
    return Number(content.substr(colon + 1), low, high, number);
  }

  static bool Number(const std::string& text, long low, long high, long& value) {
    if (text.empty() || text.size() > 11) return false;
    char* end = nullptr;
    errno = 0;
    long parsed = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || text[0] == ' ' || text[0] == '+' || parsed < low || parsed > high) return false;
    value = parsed;
    return true;
  }

  bool Fail(const std::string& what) {
    error_ = "markup datastream, offset " + std::to_string(pos_) + ": " + what;
    return false;
  }

  const std::string& text_;
  std::string& error_;
  size_t pos_ = 0;
};

}  // namespace

bool WriteMarkupForm(const Datastream& stream, std::string& text, std::string& error) {
  const std::string label = ElementLabel("datastream", stream.name);
  if (!CheckName("datastream", stream.name, false, error) || !CheckCount(stream.objects.size(), "objects", label, error))
    return false;
  std::string out = "<HTML><!--V" + std::to_string(stream.major) + "." + std::to_string(stream.minor) + ":";
  AppendNumber(out, stream.flags);
  out += kEnd;
  out += "<!--DS:" + stream.name + ":";
  AppendNumber(out, static_cast<long>(stream.objects.size()));
  out += kEnd;
  for (const DatastreamObject& object : stream.objects) {
    if (!CheckName("object", object.name, false, error) ||
        !CheckCount(object.components.size(), "components", ElementLabel("object", object.name), error))
      return false;
    out += "<!--O:" + object.name + ":";
    AppendNumber(out, object.type);
    out += ":";
    AppendNumber(out, static_cast<long>(object.components.size()));
    out += kEnd;
    for (const DatastreamComponent& component : object.components)
      if (!AppendComponent(component, out, error)) return false;
  }
  out += "</HTML>";
  text.swap(out);
  return true;
}

bool ReadMarkupForm(const std::string& text, Datastream& stream, std::string& error) {
  Datastream read;
  if (!MarkupReader(text, error).Read(read)) return false;
  stream = std::move(read);
  return true;
}

}  // namespace ravlin
