#include "ravlin_containers/datastream.h"

#include "datastream_limits.h"

namespace ravlin {

std::string ElementLabel(const char* kind, const std::string& name) {
  const size_t shown = 40;
  std::string label = std::string(kind) + " \"" + name.substr(0, shown);
  if (name.size() > shown) label += "...";
  return label + "\"";
}

bool CheckCount(size_t count, const char* counted, const std::string& owner, std::string& error) {
  if (count <= kDatastreamMax16) return true;
  error = owner + " has " + std::to_string(count) + " " + counted + ", more than a datastream can count (65535)";
  return false;
}

std::string SizePrefix(size_t content_length) {
  // The digits count themselves: grow their number until the total they give has that many.
  size_t digits = 1;
  for (;;) {
    std::string total = std::to_string(content_length + 1 + digits);
    if (total.size() == digits) return std::string(1, static_cast<char>('A' + digits)) + total;
    digits = total.size();
  }
}

bool WriteDatastream(const Datastream& stream, DatastreamForm form, std::string& text, std::string& error) {
  return form == DatastreamForm::Markup ? WriteMarkupForm(stream, text, error)
                                        : WriteCompactForm(stream, text, error);
}

bool ReadDatastream(const std::string& text, Datastream& stream, std::string& error) {
  return text.compare(0, 6, "<HTML>") == 0 ? ReadMarkupForm(text, stream, error)
                                           : ReadCompactForm(text, stream, error);
}

}  // namespace ravlin
