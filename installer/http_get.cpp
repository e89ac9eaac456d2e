#include "http_get.h"

#include <winsock2.h>
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "base64.h"
#include "text_list.h"

namespace installer {

namespace {

class Socket {
 public:
  Socket() = default;
  ~Socket() {
    if (socket_ != INVALID_SOCKET) ::closesocket(socket_);
  }
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;
  SOCKET get() const { return socket_; }
  void reset(SOCKET socket) {
    if (socket_ != INVALID_SOCKET) ::closesocket(socket_);
    socket_ = socket;
  }

 private:
  SOCKET socket_ = INVALID_SOCKET;
};

enum class Wait { kReady, kTimeout, kAborted, kError };

// Waits for the socket in one-second steps so that suspend and abort are seen; time spent
// suspended does not count towards the time-out.
Wait WaitFor(SOCKET socket, bool for_write, const TransferControl& control) {
  DWORD waited = 0;
  for (;;) {
    if (!control.Continue()) return Wait::kAborted;
    fd_set set;
    FD_ZERO(&set);
    FD_SET(socket, &set);
    fd_set errors;
    FD_ZERO(&errors);
    FD_SET(socket, &errors);
    timeval step = {1, 0};
    int ready = ::select(0, for_write ? nullptr : &set, for_write ? &set : nullptr, &errors, &step);
    if (ready == SOCKET_ERROR) return Wait::kError;
    if (FD_ISSET(socket, &errors)) return Wait::kError;
    if (ready > 0) return Wait::kReady;
    waited += 1000;
    if (waited >= control.timeout_ms) return Wait::kTimeout;
  }
}

bool Resolve(const std::string& host, in_addr* address) {
  unsigned long numeric = ::inet_addr(host.c_str());
  if (numeric != INADDR_NONE) {
    address->s_addr = numeric;
    return true;
  }
  hostent* entry = ::gethostbyname(host.c_str());
  if (!entry || entry->h_addrtype != AF_INET || !entry->h_addr_list[0]) return false;
  std::memcpy(address, entry->h_addr_list[0], sizeof *address);
  return true;
}

enum class Outcome { kDone, kRedirect, kSendTimeout, kReceiveTimeout, kFailed };

struct Exchange {
  Outcome outcome = Outcome::kFailed;
  HttpResult result;
  std::string location;
};

// A header's value (name compared without regard to case), or none.
bool HeaderValue(const std::string& headers, const char* name, std::string* value) {
  size_t at = 0;
  const size_t name_length = std::strlen(name);
  while (at < headers.size()) {
    size_t end = headers.find("\r\n", at);
    if (end == std::string::npos) end = headers.size();
    std::string line = headers.substr(at, end - at);
    at = end + 2;
    if (line.size() > name_length && line[name_length] == ':' &&
        EqualsNoCase(line.substr(0, name_length), name)) {
      *value = Trim(line.substr(name_length + 1));
      return true;
    }
  }
  return false;
}

Exchange RunExchange(const Url& url, const Proxy& proxy, BodySink& sink, const TransferControl& control) {
  Exchange exchange;
  HttpResult& result = exchange.result;
  auto fail = [&](HttpError error, const std::string& detail) {
    result.error = error;
    result.detail = detail;
    exchange.outcome = Outcome::kFailed;
    return exchange;
  };

  in_addr address = {};
  const std::string& host = proxy.used() ? proxy.host : url.host;
  const int port = proxy.used() ? proxy.port : url.port;
  if (!Resolve(host, &address)) return fail(HttpError::kConnect, "cannot resolve " + host);

  Socket socket;
  socket.reset(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
  if (socket.get() == INVALID_SOCKET) return fail(HttpError::kConnect, "no socket");
  u_long non_blocking = 1;
  ::ioctlsocket(socket.get(), FIONBIO, &non_blocking);
  sockaddr_in target = {};
  target.sin_family = AF_INET;
  target.sin_port = ::htons(static_cast<u_short>(port));
  target.sin_addr = address;
  if (::connect(socket.get(), reinterpret_cast<sockaddr*>(&target), sizeof target) == SOCKET_ERROR &&
      ::WSAGetLastError() != WSAEWOULDBLOCK)
    return fail(HttpError::kConnect, "connect failed");
  switch (WaitFor(socket.get(), true, control)) {
    case Wait::kReady: break;
    case Wait::kAborted: return fail(HttpError::kAborted, "aborted");
    default: return fail(HttpError::kConnect, "connect failed");
  }
  int socket_error = 0;
  int length = sizeof socket_error;
  ::getsockopt(socket.get(), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&socket_error), &length);
  if (socket_error != 0) return fail(HttpError::kConnect, "connect refused");

  const std::string request = BuildRequest(url, proxy);
  for (size_t sent = 0; sent < request.size();) {
    Wait wait = WaitFor(socket.get(), true, control);
    if (wait == Wait::kTimeout) {
      exchange.outcome = Outcome::kSendTimeout;
      return exchange;
    }
    if (wait == Wait::kAborted) return fail(HttpError::kAborted, "aborted");
    if (wait != Wait::kReady) return fail(HttpError::kConnect, "send failed");
    int count = ::send(socket.get(), request.data() + sent, static_cast<int>(request.size() - sent), 0);
    if (count == SOCKET_ERROR) {
      if (::WSAGetLastError() == WSAEWOULDBLOCK) continue;
      return fail(HttpError::kConnect, "send failed");
    }
    sent += count;
  }

  // Headers first, bounded so that an endless header stream fails instead of growing.
  std::string received;
  // Large reads: every socket call costs a round trip to the Wine server.
  std::vector<char> storage(64 * 1024);
  char* buffer = storage.data();
  const int buffer_size = static_cast<int>(storage.size());
  size_t header_end = std::string::npos;
  bool closed = false;
  for (;;) {
    Wait wait = WaitFor(socket.get(), false, control);
    if (wait == Wait::kTimeout) {
      exchange.outcome = Outcome::kReceiveTimeout;
      return exchange;
    }
    if (wait == Wait::kAborted) return fail(HttpError::kAborted, "aborted");
    int count = ::recv(socket.get(), buffer, buffer_size, 0);
    if (count == SOCKET_ERROR && ::WSAGetLastError() == WSAEWOULDBLOCK) continue;
    if (count <= 0) {
      closed = true;
      break;
    }
    received.append(buffer, count);
    result.answered = true;
    header_end = received.find("\r\n\r\n");
    if (header_end != std::string::npos) break;
    if (received.size() > kMaxHeaderBytes) return fail(HttpError::kProtocol, "header too long");
  }
  if (header_end == std::string::npos) return fail(HttpError::kProtocol, closed ? "answer ended in the header" : "no header");
  if (header_end > kMaxHeaderBytes) return fail(HttpError::kProtocol, "header too long");
  result.answered = true;

  const std::string headers = received.substr(0, header_end + 2);
  if (headers.compare(0, 5, "HTTP/") != 0) return fail(HttpError::kProtocol, "no status line");
  size_t blank = headers.find(' ');
  if (blank == std::string::npos || blank > headers.find("\r\n")) return fail(HttpError::kProtocol, "no status");
  result.status = std::atoi(headers.c_str() + blank + 1);

  if (result.status == 301 || result.status == 302) {
    if (!HeaderValue(headers, "Location", &exchange.location) || exchange.location.empty())
      return fail(HttpError::kBadRedirect, "redirect without Location");
    exchange.outcome = Outcome::kRedirect;
    return exchange;
  }
  if (result.status != 200) return fail(HttpError::kStatus, "status " + std::to_string(result.status));

  std::string length_text;
  long long expected = -1;
  if (HeaderValue(headers, "Content-Length", &length_text)) {
    char* end = nullptr;
    expected = std::strtoll(length_text.c_str(), &end, 10);
    if (length_text.empty() || *end != '\0' || expected < 0) return fail(HttpError::kProtocol, "bad Content-Length");
  }

  if (!sink.Begin()) return fail(HttpError::kWrite, "cannot start the body");
  unsigned long long body = 0;
  bool disk_full = false;
  auto take = [&](const char* data, size_t size) {
    body += size;
    if (!sink.Write(data, size, &disk_full)) {
      result.error = disk_full ? HttpError::kDiskFull : HttpError::kTooLarge;
      return false;
    }
    return true;
  };
  if (received.size() > header_end + 4 &&
      !take(received.data() + header_end + 4, received.size() - header_end - 4))
    return fail(result.error, "body refused");
  while (!closed) {
    // Read while data is there; wait (watching the flags and the time-out) only when it is not.
    int count = ::recv(socket.get(), buffer, buffer_size, 0);
    if (count == SOCKET_ERROR && ::WSAGetLastError() == WSAEWOULDBLOCK) {
      Wait wait = WaitFor(socket.get(), false, control);
      if (wait == Wait::kTimeout) {
        exchange.outcome = Outcome::kReceiveTimeout;
        return exchange;
      }
      if (wait == Wait::kAborted) return fail(HttpError::kAborted, "aborted");
      continue;
    }
    if (count <= 0) break;
    if (!control.Continue()) return fail(HttpError::kAborted, "aborted");
    if (!take(buffer, count)) return fail(result.error, "body refused");
    if (expected >= 0 && body > static_cast<unsigned long long>(expected)) break;
  }
  // A reset looks like an orderly close here: only the announced length tells a cut body.
  if (expected >= 0 && body != static_cast<unsigned long long>(expected))
    return fail(HttpError::kTruncated, "body of " + std::to_string(body) + " bytes, announced " + length_text);
  exchange.outcome = Outcome::kDone;
  return exchange;
}

}  // namespace

std::string BuildRequest(const Url& url, const Proxy& proxy) {
  std::string request;
  if (proxy.used()) {
    request = url.port == 80 ? "GET http://" + url.host + url.path + " HTTP/1.0\r\n"
                             : "GET http://" + url.host + ":" + std::to_string(url.port) + url.path + " HTTP/1.0\r\n";
    if (!proxy.user.empty() && !proxy.password.empty())
      request += "Proxy-Authorization: Basic " + Base64(proxy.user + ":" + proxy.password) + "\r\n";
  } else {
    request = "GET " + url.path + " HTTP/1.0\r\n";
  }
  if (!url.user.empty() && !url.password.empty())
    request += "Authorization: Basic " + Base64(url.user + ":" + url.password) + "\r\n";
  request += "Host: " + url.host + "\r\n";
  request += "Accept: image/gif, image/jpeg, image/pjpeg, */*\r\n";
  request += "\r\n";
  return request;
}

HttpResult HttpGet(const Url& start, const Proxy& proxy, BodySink& sink, const TransferControl& control) {
  Url url = start;
  int redirects = 0;
  int send_retries = 0;
  int receive_retries = 0;
  bool answered = false;
  for (;;) {
    Exchange exchange = RunExchange(url, proxy, sink, control);
    answered = answered || exchange.result.answered;
    exchange.result.answered = answered;
    switch (exchange.outcome) {
      case Outcome::kDone:
      case Outcome::kFailed:
        return exchange.result;
      case Outcome::kSendTimeout:
        if (++send_retries > kMaxRetries) {
          exchange.result.error = HttpError::kTimeout;
          exchange.result.detail = "send time-out";
          return exchange.result;
        }
        continue;
      case Outcome::kReceiveTimeout:
        // A stalled server would otherwise be asked for ever.
        if (++receive_retries > kMaxRetries) {
          exchange.result.error = HttpError::kTimeout;
          exchange.result.detail = "receive time-out";
          return exchange.result;
        }
        continue;
      case Outcome::kRedirect: {
        if (++redirects > kMaxRedirects) {
          exchange.result.error = HttpError::kTooManyRedirects;
          exchange.result.detail = "Too many links";
          return exchange.result;
        }
        Url next;
        const std::string& location = exchange.location;
        if (!location.empty() && location[0] == '/') {
          next = url;
          next.path = location;
        } else {
          std::optional<Url> parsed = location.find("://") == std::string::npos ? std::nullopt : ParseUrl(location);
          if (!parsed) {
            exchange.result.error = HttpError::kBadRedirect;
            exchange.result.detail = "redirect to an unusable location " + location;
            return exchange.result;
          }
          next = *parsed;
          // Credentials stay with the server they were meant for.
          bool same_server = EqualsNoCase(next.host, url.host) && next.port == url.port;
          if (next.user.empty() && same_server) {
            next.user = url.user;
            next.password = url.password;
          }
        }
        url = next;
        continue;
      }
    }
  }
}

}  // namespace installer
