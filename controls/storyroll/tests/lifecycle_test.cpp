// The libraries are held while a control's window lives and given back once: at the client's
// shutdown, on Terminate(), or when the control goes. Each test runs its own client.
#include "storyroll_test_support.h"
#include "testing/machine_state.h"
#include "testing/registry.h"

namespace storyroll_tests {
namespace {

class StoryrollLifecycle : public testing::Test {
 protected:
  void SetUp() override {
    registered_ = RegisterStoryroll();
    standin_ = std::make_unique<ravlin_tests::PinnedStandin>(StoryrollFixture());
  }
  void TearDown() override {
    if (standin_) standin_->Unpin();
    standin_.reset();
    registered_.reset();
  }
  std::unique_ptr<testing_support::RegisteredModule> registered_;
  std::unique_ptr<ravlin_tests::PinnedStandin> standin_;
};

TEST_F(StoryrollLifecycle, ClientShutdownReleasesEveryInstanceOnce) {
  auto first = std::make_unique<HostedStoryroll>();
  auto second = std::make_unique<HostedStoryroll>();
  first->SetChannel(30);
  second->SetChannel(31);
  ASSERT_TRUE(ravlin_tests::LibraryWindow()) << "the controls hold the access library";
  ASSERT_TRUE(first->grid() && second->grid());

  standin_->Unpin();
  ASSERT_TRUE(standin_->Stop());
  ASSERT_TRUE(PumpUntil([&] { return !first->grid() && !second->grid(); }, 15000)) << "the lists went";
  ASSERT_TRUE(PumpUntil([] { return !ravlin_tests::LibraryWindow(); }, 15000))
      << "both holds given back: the library stopped";
  EXPECT_EQ(0, first->GetLong("NumStories"));
  // Going away afterwards gives nothing back a second time.
  first.reset();
  second.reset();
  EXPECT_FALSE(ravlin_tests::LibraryWindow());
}

TEST_F(StoryrollLifecycle, TerminateGivesTheLibrariesBackBeforeTheControlGoes) {
  auto roll = std::make_unique<HostedStoryroll>();
  roll->SetChannel(30);
  ASSERT_TRUE(ravlin_tests::LibraryWindow());
  roll->Call("Terminate");
  EXPECT_TRUE(PumpUntil([] { return !ravlin_tests::LibraryWindow(); }, 15000));
  // Without the libraries the list stays as it was and asks the client nothing.
  EXPECT_TRUE(roll->SetChannel(31));
  EXPECT_EQ(5, roll->GetLong("NumStories"));
  comsupport::Variant url = roll->Call("GetStoryURL", {Long(30), Long(3001)});
  EXPECT_EQ("", comsupport::Bstr(url.get()->bstrVal).Ansi());
  EXPECT_FALSE(ravlin_tests::LibraryWindow()) << "nothing started the library again";
  roll->Call("Terminate");
  roll.reset();
  // A new control attaches afresh and works.
  HostedStoryroll again;
  EXPECT_TRUE(again.SetChannel(30));
  EXPECT_EQ(5, again.GetLong("NumStories"));
}

TEST_F(StoryrollLifecycle, WithoutAClientTheListStaysEmptyAndALaterClientServesIt) {
  standin_->Unpin();
  standin_.reset();
  {
    const std::string client_class = "CLSID\\{53FCF358-5323-11D0-A864-0000B43699FC}";
    testing_support::RegistryRestore restore(HKEY_CLASSES_ROOT, client_class);
    testing_support::DeleteTree(HKEY_CLASSES_ROOT, client_class);
    HostedStoryroll roll;
    EXPECT_TRUE(roll.SetChannel(30));
    EXPECT_EQ(0, roll.GetLong("NumStories"));
    EXPECT_THAT(roll.Headlines(), testing::ElementsAre("No content at this time."));
  }
  EXPECT_TRUE(PumpUntil([] { return !ravlin_tests::LibraryWindow(); }, 15000));
  standin_ = std::make_unique<ravlin_tests::PinnedStandin>(StoryrollFixture());
  HostedStoryroll roll;
  roll.SetChannel(30);
  EXPECT_EQ(5, roll.GetLong("NumStories")) << "the failed start left the library's count alone";
}

}  // namespace
}  // namespace storyroll_tests
