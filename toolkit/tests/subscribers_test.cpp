// The subscriber list on its own: the order of the sends, windows subscribed twice, windows
// that are gone, and unsubscribing.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "refresh_messages.h"
#include "subscriber_windows.h"
#include "subscribers.h"
#include "vinnet/services.h"

namespace vinnet_tests {
namespace {

using testing::ElementsAre;
using testing::IsEmpty;

UINT Updated() { return vinnet::RefreshMessage(vinnet::RefreshCode::ChannelUpdated); }

class Subscribers : public testing::Test {
 protected:
  void TearDown() override {
    for (HWND window : vinnet::Subscribers()) CServicesUnsubscribeNotifications(window);
  }
  SubscriberWindows windows_{{"A", "B", "C"}};
};

TEST_F(Subscribers, SendsFromTheLastSubscriberToTheFirst) {
  for (const char* label : {"A", "B", "C"}) CServicesSubscribeNotifications(windows_.Window(label));
  vinnet::SendToSubscribers(Updated(), 9, 0);
  EXPECT_THAT(windows_.Take(), ElementsAre("C CHANNEL_UPDATED 9 0", "B CHANNEL_UPDATED 9 0", "A CHANNEL_UPDATED 9 0"));
}

TEST_F(Subscribers, TwiceSubscribedTwiceSentAndOnceUnsubscribedGone) {
  CServicesSubscribeNotifications(windows_.Window("A"));
  CServicesSubscribeNotifications(windows_.Window("B"));
  CServicesSubscribeNotifications(windows_.Window("A"));
  vinnet::SendToSubscribers(Updated(), 7, 0);
  EXPECT_THAT(windows_.Take(), ElementsAre("A CHANNEL_UPDATED 7 0", "B CHANNEL_UPDATED 7 0", "A CHANNEL_UPDATED 7 0"));
  CServicesUnsubscribeNotifications(windows_.Window("A"));
  EXPECT_THAT(vinnet::Subscribers(), ElementsAre(windows_.Window("B")));
}

TEST_F(Subscribers, WindowsThatAreGoneAreDroppedAtTheNextSend) {
  for (const char* label : {"A", "B", "C"}) CServicesSubscribeNotifications(windows_.Window(label));
  CServicesSubscribeNotifications(windows_.Window("B"));
  windows_.Destroy("B");
  // Only windows can subscribe.
  CServicesSubscribeNotifications(windows_.Window("B"));
  CServicesSubscribeNotifications(nullptr);
  EXPECT_EQ(4u, vinnet::Subscribers().size());
  vinnet::SendToSubscribers(Updated(), 9, 0);
  EXPECT_THAT(windows_.Take(), ElementsAre("C CHANNEL_UPDATED 9 0", "A CHANNEL_UPDATED 9 0"));
  EXPECT_THAT(vinnet::Subscribers(), ElementsAre(windows_.Window("A"), windows_.Window("C")));
}

TEST_F(Subscribers, NothingIsSentWithoutSubscribers) {
  vinnet::SendToSubscribers(Updated(), 9, 0);
  EXPECT_THAT(windows_.Take(), IsEmpty());
}

}  // namespace
}  // namespace vinnet_tests
