// The compact form of the datastream.
#include <cstring>

#include "datastream_limits.h"
#include "ravlin_containers/datastream.h"

namespace ravlin {

namespace {

void AppendHex(std::string& out, unsigned long value, int digits) {
  static const char kDigits[] = "0123456789ABCDEF";
  for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) out += kDigits[(value >> shift) & 0xF];
}

bool AppendName(std::string& content, const char* kind, const std::string& name, std::string& error) {
  if (name.size() > kDatastreamMax16) {
    error = ElementLabel(kind, name) + " has a name longer than 65535 bytes";
    return false;
  }
  AppendHex(content, static_cast<unsigned long>(name.size()), 4);
  content += name;
  return true;
}

bool AppendType(std::string& content, const char* kind, const std::string& name, long type, std::string& error) {
  if (type < 0 || type > static_cast<long>(kDatastreamMax16)) {
    error = ElementLabel(kind, name) + " has type " + std::to_string(type) +
            ", outside the compact form's 0..65535";
    return false;
  }
  AppendHex(content, static_cast<unsigned long>(type), 4);
  return true;
}

void AppendElement(std::string& out, const std::string& content) {
  out += SizePrefix(content.size());
  out += content;
}

bool FieldElement(const DatastreamField& field, std::string& out, std::string& error) {
  std::string content;
  if (!AppendName(content, "field", field.name, error)) return false;
  content += field.data;
  AppendElement(out, content);
  return true;
}

bool ComponentElement(const DatastreamComponent& component, std::string& out, std::string& error) {
  const std::string label = ElementLabel("component", component.name);
  std::string content;
  if (!AppendName(content, "component", component.name, error) ||
      !AppendType(content, "component", component.name, component.type, error) ||
      !CheckCount(component.fields.size(), "fields", label, error))
    return false;
  AppendHex(content, static_cast<unsigned long>(component.fields.size()), 4);
  for (const DatastreamField& field : component.fields)
    if (!FieldElement(field, content, error)) return false;
  AppendElement(out, content);
  return true;
}

bool ObjectElement(const DatastreamObject& object, std::string& out, std::string& error) {
  const std::string label = ElementLabel("object", object.name);
  std::string content;
  if (!AppendName(content, "object", object.name, error) ||
      !AppendType(content, "object", object.name, object.type, error) ||
      !CheckCount(object.components.size(), "components", label, error))
    return false;
  AppendHex(content, static_cast<unsigned long>(object.components.size()), 4);
  for (const DatastreamComponent& component : object.components)
    if (!ComponentElement(component, content, error)) return false;
  AppendElement(out, content);
  return true;
}

// Reads the elements of a compact text; every read stays inside the element being read.
class CompactReader {
 public:
  CompactReader(const std::string& text, std::string& error) : text_(text), error_(error) {}

  bool Read(Datastream& stream) {
    if (text_.size() < 16) return Fail(0, "the text is shorter than the 16-character header");
    unsigned long major = 0, minor = 0, flags = 0, rest = 0;
    size_t pos = 0;
    if (!Hex(pos, 16, 2, major) || !Hex(pos, 16, 2, minor) || !Hex(pos, 16, 4, flags) || !Hex(pos, 16, 8, rest))
      return false;
    if (rest != text_.size() - 16)
      return Fail(8, "the header gives " + std::to_string(rest) + " characters after it, the text has " +
                         std::to_string(text_.size() - 16));
    stream = Datastream();
    stream.major = static_cast<unsigned char>(major);
    stream.minor = static_cast<unsigned char>(minor);
    stream.flags = static_cast<long>(flags);
    size_t end = 0;
    unsigned long count = 0;
    if (!Prefix(pos, text_.size(), end) || !Name(pos, end, stream.name) || !Hex(pos, end, 4, count)) return false;
    if (end != text_.size()) return Fail(pos, "the datastream element does not end with the text");
    for (unsigned long i = 0; i < count; ++i) {
      stream.objects.emplace_back();
      if (!Object(pos, end, stream.objects.back())) return false;
    }
    return Finished(pos, end, "datastream");
  }

 private:
  bool Object(size_t& pos, size_t limit, DatastreamObject& object) {
    size_t end = 0;
    unsigned long type = 0, count = 0;
    if (!Prefix(pos, limit, end) || !Name(pos, end, object.name) || !Hex(pos, end, 4, type) ||
        !Hex(pos, end, 4, count))
      return false;
    object.type = static_cast<long>(type);
    for (unsigned long i = 0; i < count; ++i) {
      object.components.emplace_back();
      if (!Component(pos, end, object.components.back())) return false;
    }
    return Finished(pos, end, "object");
  }

  bool Component(size_t& pos, size_t limit, DatastreamComponent& component) {
    size_t end = 0;
    unsigned long type = 0, count = 0;
    if (!Prefix(pos, limit, end) || !Name(pos, end, component.name) || !Hex(pos, end, 4, type) ||
        !Hex(pos, end, 4, count))
      return false;
    component.type = static_cast<long>(type);
    for (unsigned long i = 0; i < count; ++i) {
      component.fields.emplace_back();
      DatastreamField& field = component.fields.back();
      size_t field_end = 0;
      if (!Prefix(pos, end, field_end) || !Name(pos, field_end, field.name)) return false;
      field.data = text_.substr(pos, field_end - pos);
      pos = field_end;
    }
    return Finished(pos, end, "component");
  }

  // The size prefix at pos: end receives where the element ends, pos moves past the prefix.
  bool Prefix(size_t& pos, size_t limit, size_t& end) {
    if (pos >= limit) return Fail(pos, "an element is missing");
    int digits = text_[pos] - 'A';
    if (digits < 1 || digits > 10) return Fail(pos, "a size prefix must start with a letter B to K");
    if (limit - pos < static_cast<size_t>(1 + digits)) return Fail(pos, "the size prefix is cut short");
    unsigned long long total = 0;
    for (int i = 1; i <= digits; ++i) {
      char c = text_[pos + i];
      if (c < '0' || c > '9') return Fail(pos + i, "a size prefix holds a non-digit");
      total = total * 10 + static_cast<unsigned>(c - '0');
    }
    if (total < static_cast<unsigned long long>(1 + digits) || total > limit - pos)
      return Fail(pos, "an element's length " + std::to_string(total) + " does not fit where it stands");
    end = pos + static_cast<size_t>(total);
    pos += 1 + digits;
    return true;
  }

  bool Name(size_t& pos, size_t limit, std::string& name) {
    unsigned long length = 0;
    if (!Hex(pos, limit, 4, length)) return false;
    if (length > limit - pos) return Fail(pos, "a name runs past the end of its element");
    name = text_.substr(pos, length);
    pos += length;
    return true;
  }

  bool Hex(size_t& pos, size_t limit, int digits, unsigned long& value) {
    if (limit < pos || limit - pos < static_cast<size_t>(digits)) return Fail(pos, "a hexadecimal number is cut short");
    value = 0;
    for (int i = 0; i < digits; ++i) {
      char c = text_[pos + i];
      int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
      if (digit < 0) return Fail(pos + i, "a hexadecimal number holds a non-hex character");
      value = value * 16 + static_cast<unsigned long>(digit);
    }
    pos += digits;
    return true;
  }

  bool Finished(size_t pos, size_t end, const char* kind) {
    if (pos == end) return true;
    return Fail(pos, std::string("a ") + kind + " element is longer than what its count holds");
  }

  bool Fail(size_t pos, const std::string& what) {
    error_ = "compact datastream, offset " + std::to_string(pos) + ": " + what;
    return false;
  }

  const std::string& text_;
  std::string& error_;
};

}  // namespace

bool WriteCompactForm(const Datastream& stream, std::string& text, std::string& error) {
  const std::string label = ElementLabel("datastream", stream.name);
  if (stream.flags < 0 || stream.flags > static_cast<long>(kDatastreamMax16)) {
    error = label + " has flags " + std::to_string(stream.flags) + ", outside the compact form's 0..65535";
    return false;
  }
  std::string content;
  if (!AppendName(content, "datastream", stream.name, error) ||
      !CheckCount(stream.objects.size(), "objects", label, error))
    return false;
  AppendHex(content, static_cast<unsigned long>(stream.objects.size()), 4);
  for (const DatastreamObject& object : stream.objects)
    if (!ObjectElement(object, content, error)) return false;
  std::string element;
  AppendElement(element, content);
  std::string out;
  AppendHex(out, stream.major, 2);
  AppendHex(out, stream.minor, 2);
  AppendHex(out, static_cast<unsigned long>(stream.flags), 4);
  AppendHex(out, static_cast<unsigned long>(element.size()), 8);
  out += element;
  text.swap(out);
  return true;
}

bool ReadCompactForm(const std::string& text, Datastream& stream, std::string& error) {
  Datastream read;
  if (!CompactReader(text, error).Read(read)) return false;
  stream = std::move(read);
  return true;
}

}  // namespace ravlin
