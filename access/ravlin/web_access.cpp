// ZRPerformHTTPGet and ZRPerformHTTPPost: web requests through the client's connection.
#include "client_objects.h"
#include "client_pointer.h"
#include "com_values.h"
#include "exports.h"

namespace ravlin {

namespace {

using comsupport::Bstr;
using comsupport::ComPtr;

// Runs the request, reports the client's error code and, on success, the reply.
template <class Request>
int Perform(QMBuffer& reply, ECommunicationErrors* error, Request request) {
  ComPtr<IZorvaneCommunications> communications = CommunicationsOf(ThreadClient().get());
  if (!communications) return 0;
  Bstr answer;
  ECommunicationErrors reported = COMM_ERROR_UNKNOWN;
  HRESULT hr = request(communications.get(), answer.put(), &reported);
  if (error) *error = reported;
  if (!Ok(hr)) return 0;
  return PutText(reply, answer.get()) ? 1 : 0;
}

}  // namespace

}  // namespace ravlin

using namespace ravlin;

extern "C" int ZRPerformHTTPGet(const char* url, const char* user_name, const char* password,
                                ECommunicationFlags flags, QMBuffer& reply, ECommunicationErrors* error) {
  return Guarded([&] {
    if (!url) return 0;
    return Perform(reply, error, [&](IZorvaneCommunications* c, BSTR* answer, ECommunicationErrors* reported) {
      return c->HTTPGet(BstrOf(url).get(), BstrOf(user_name).get(), BstrOf(password).get(), flags, answer, reported);
    });
  });
}

extern "C" int ZRPerformHTTPPost(const char* url, const char* header, const char* post_data, const char* user_name,
                                 const char* password, ECommunicationFlags flags, QMBuffer& reply,
                                 ECommunicationErrors* error) {
  return Guarded([&] {
    if (!url) return 0;
    return Perform(reply, error, [&](IZorvaneCommunications* c, BSTR* answer, ECommunicationErrors* reported) {
      return c->HTTPPost(BstrOf(url).get(), BstrOf(header).get(), BstrOf(post_data).get(), BstrOf(user_name).get(),
                         BstrOf(password).get(), flags, answer, reported);
    });
  });
}
