// The diagnostic dump of a datastream: one line per element.
#include <cerrno>
#include <cstring>

#include "ravlin_containers/datastream.h"

namespace ravlin {

void DumpDatastream(const Datastream& stream, std::FILE* file) {
  std::fprintf(file, "Datastream: Name=%s, Flags=%d, Version=%d.%d\n", stream.name.c_str(),
               static_cast<int>(stream.flags), stream.major, stream.minor);
  for (const DatastreamObject& object : stream.objects) {
    std::fprintf(file, "   Object: Name=%s, Type=%d\n", object.name.c_str(), static_cast<int>(object.type));
    for (const DatastreamComponent& component : object.components) {
      std::fprintf(file, "      Component: Name=%s, Type=%d\n", component.name.c_str(),
                   static_cast<int>(component.type));
      for (const DatastreamField& field : component.fields) {
        std::fprintf(file, "         Field: Name=%s, Data Length=%d, Data=", field.name.c_str(),
                     static_cast<int>(field.data.size()));
        for (char c : field.data) std::fprintf(file, "%c", c);
        std::fprintf(file, "\n");
      }
    }
  }
}

bool DumpDatastreamToFile(const Datastream& stream, const std::string& path, std::string& error) {
  std::FILE* file = std::fopen(path.c_str(), "w");
  if (!file) {
    error = "cannot create \"" + path + "\": " + std::strerror(errno);
    return false;
  }
  DumpDatastream(stream, file);
  bool written = !std::ferror(file);
  if (std::fclose(file) != 0) written = false;
  if (!written) error = "cannot write \"" + path + "\"";
  return written;
}

}  // namespace ravlin
