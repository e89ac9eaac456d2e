// Splitting a URL into the server and path parts the client's cache is keyed by.
#pragma once

#include <string>

namespace ravlin {

struct UrlParts {
  std::string server;  // empty for a local URL
  std::string path;
};

// A scheme ("http://") is dropped; "file://" URLs and drive paths are local (the whole
// remaining text is the path); otherwise the server runs to the first "/" and the path from
// there up to the first "#" or "%23".
UrlParts SplitUrl(const std::string& url);

}  // namespace ravlin
