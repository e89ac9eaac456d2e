// One HTTP/1.0 GET with the installer's request forms (direct or through a proxy, Basic
// credentials), its redirects and its time-outs, on blocking sockets of the calling thread.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "transfer_control.h"
#include "url.h"

namespace installer {

struct Proxy {
  std::string host;
  int port = 80;
  std::string user;
  std::string password;
  bool used() const { return !host.empty(); }
};

enum class HttpError {
  kNone,
  kConnect,          // no connection could be made
  kTimeout,          // time-outs beyond the retries
  kStatus,           // an answer other than 200, 301 or 302
  kBadRedirect,      // no Location, or one to another scheme
  kTooManyRedirects, // "Too many links"
  kProtocol,         // a malformed answer or endless headers
  kTruncated,        // fewer or more bytes than Content-Length said
  kTooLarge,         // more than the caller accepts
  kWrite,            // the sink could not take the data
  kDiskFull,
  kAborted,
};

struct HttpResult {
  HttpError error = HttpError::kNone;
  int status = 0;
  bool answered = false;  // some server answered (the connection itself worked)
  std::string detail;
  explicit operator bool() const { return error == HttpError::kNone; }
};

// Receives a body. Begin is called before each attempt's body (a repeated request starts over).
class BodySink {
 public:
  virtual ~BodySink() = default;
  virtual bool Begin() = 0;
  // false stops the transfer; *disk_full tells why.
  virtual bool Write(const char* data, size_t size, bool* disk_full) = 0;
};

class StringSink : public BodySink {
 public:
  explicit StringSink(size_t max_bytes) : max_bytes_(max_bytes) {}
  bool Begin() override {
    text_.clear();
    return true;
  }
  bool Write(const char* data, size_t size, bool*) override {
    if (text_.size() + size > max_bytes_) return false;
    text_.append(data, size);
    return true;
  }
  const std::string& text() const { return text_; }

 private:
  size_t max_bytes_;
  std::string text_;
};

constexpr int kMaxRedirects = 6;
constexpr int kMaxRetries = 6;
constexpr size_t kMaxHeaderBytes = 16 * 1024;

// The request text for url, through proxy when it is used.
std::string BuildRequest(const Url& url, const Proxy& proxy);

// GETs url into sink, following redirects (credentials go only to the same host and port).
HttpResult HttpGet(const Url& url, const Proxy& proxy, BodySink& sink, const TransferControl& control);

}  // namespace installer
