#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "comsupport/com_object.h"
#include "comsupport/com_ptr.h"
#include "comsupport/handler_registration.h"

namespace {

using comsupport::ComPtr;
using comsupport::HandlerRegistration;

// An event source as the client's collections are: handles from 100 up, every call noted.
class Source : public comsupport::ComObject<IUnknown> {
 public:
  explicit Source(std::string name, std::vector<std::string>& journal) : name_(std::move(name)), journal_(journal) {}
  HRESULT RegisterNotificationHandler(LONG events, IUnknown*, LONG* handle) {
    journal_.push_back(name_ + " register " + std::to_string(events));
    if (refuse) return E_ACCESSDENIED;
    *handle = next_++;
    return S_OK;
  }
  HRESULT RevokeNotificationHandler(LONG handle) {
    journal_.push_back(name_ + " revoke " + std::to_string(handle));
    return S_OK;
  }
  bool refuse = false;

 protected:
  void* FindInterface(REFIID iid) override { return iid == IID_IUnknown ? static_cast<IUnknown*>(this) : nullptr; }

 private:
  std::string name_;
  std::vector<std::string>& journal_;
  LONG next_ = 100;
};

TEST(HandlerRegistration, RevokesOnceThroughTheHeldSourceOrTheOneNamed) {
  std::vector<std::string> journal;
  ComPtr<Source> setup = ComPtr<Source>::Attach(new Source("setup", journal));
  ComPtr<Source> channels = ComPtr<Source>::Attach(new Source("channels", journal));
  {
    HandlerRegistration<Source> held;
    HandlerRegistration<Source> named;
    ASSERT_EQ(S_OK, held.Register(setup.get(), -1, nullptr));
    ASSERT_EQ(S_OK, named.Register(channels.get(), 5, nullptr, false));
    EXPECT_TRUE(held.registered());
    EXPECT_EQ(100, named.handle());
    EXPECT_EQ(nullptr, named.source());
    EXPECT_EQ(S_OK, named.RevokeThrough(channels.get()));
    EXPECT_EQ(S_FALSE, named.RevokeThrough(channels.get())) << "nothing left to revoke";
  }  // held revokes itself here
  EXPECT_EQ((std::vector<std::string>{"setup register -1", "channels register 5", "channels revoke 100",
                                      "setup revoke 100"}),
            journal);
}

TEST(HandlerRegistration, RefusedOrForgottenRegistrationsRevokeNothing) {
  std::vector<std::string> journal;
  ComPtr<Source> source = ComPtr<Source>::Attach(new Source("source", journal));
  {
    HandlerRegistration<Source> refused;
    source->refuse = true;
    EXPECT_EQ(E_ACCESSDENIED, refused.Register(source.get(), 1, nullptr));
    EXPECT_FALSE(refused.registered());
    EXPECT_EQ(E_POINTER, refused.Register(nullptr, 1, nullptr));
    source->refuse = false;
    HandlerRegistration<Source> forgotten;
    forgotten.Register(source.get(), 2, nullptr);
    forgotten.Forget();
  }
  EXPECT_EQ((std::vector<std::string>{"source register 1", "source register 2"}), journal);
}

}  // namespace
