// ZRIsURLCached and ZRGetCachedURL: whether the client's cache holds a URL, and its local file.
#include "client_objects.h"
#include "client_pointer.h"
#include "com_values.h"
#include "exports.h"
#include "url_split.h"

namespace ravlin {

namespace {

using comsupport::Bstr;
using comsupport::ComPtr;

// FindInCache of server followed by path; the local file into the buffer when one is given.
int FindInCache(const char* server, const char* path, QMBuffer* local_file) {
  if (!server || !path) return 0;
  ComPtr<IZorvaneCommunications> communications = CommunicationsOf(ThreadClient().get());
  Bstr found;
  std::string key = std::string(server) + path;
  if (!communications || !Ok(communications->FindInCache(BstrOf(key.c_str()).get(), 0, found.put()))) return 0;
  if (local_file && !PutText(*local_file, found.get())) return 0;
  return 1;
}

int FindUrlInCache(const char* url, QMBuffer* local_file) {
  if (!url) return 0;
  UrlParts parts = SplitUrl(url);
  return FindInCache(parts.server.c_str(), parts.path.c_str(), local_file);
}

}  // namespace

}  // namespace ravlin

using namespace ravlin;

extern "C" int ZRIsURLCached(const char* url) {
  return Guarded([&] { return FindUrlInCache(url, nullptr); });
}

extern "C" int ZRGetCachedURL(const char* url, QMBuffer& local_file) {
  return Guarded([&] { return FindUrlInCache(url, &local_file); });
}

int ZRIsURLCached(const char* server, const char* path) {
  return Guarded([&] { return FindInCache(server, path, nullptr); });
}

int ZRGetCachedURL(const char* server, const char* path, QMBuffer& local_file) {
  return Guarded([&] { return FindInCache(server, path, &local_file); });
}
