// Story capabilities, the category index and mailing a story, read from the model as it is
// filled from the stand-in client through the access library.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>
#include <mapi.h>

#include <cstring>
#include <string>
#include <vector>

#include "model_fixture.h"
#include "ravlin_test_support.h"
#include "testing/standin_mail.h"
#include "vinnet/services.h"
#include "vinnet/story_caps.h"

namespace {

using ::testing::ElementsAre;

const char kFixture[] = R"({
  "settings": { "replication": true },
  "channels": [
    { "id": 7, "name": "Kelvane", "flags": 4, "categories": ["Updates"],
      "stories": [
        { "id": 1001, "title": "Driver 2.1", "vessik": 5001,
          "fields": { "Text": "New driver", "URL": "http://kelvane.example/1001" },
          "attributes": { "Keep": 1, "Vessik Replicable": 1, "Vessik Type": 3,
                          "Attachment URL 1": "http://kelvane.example/notes.txt",
                          "Attachment URL 2": "http://kelvane.example/zr_tsr01.tmp",
                          "Attachment URL 3": "http://kelvane.example/not-cached.txt" } },
        { "id": 1002, "title": "Local", "fields": { "Text": "no link", "URL": "http://kelvane.example/1002" },
          "attributes": { "Story Local": 1, "Vessik Type": 255 } },
        { "id": 1003, "title": "Bare" } ] },
    { "id": 12, "name": "Weather", "flags": 4096, "stories": [ { "id": 2001, "title": "Rain", "vessik": 77 } ] },
    { "id": 9, "name": "News", "flags": 4096, "stories": [] }
  ],
  "vessiks": [ { "id": 5001, "channel": 7, "name": "Driver 2.1", "size": 1000, "files": ["driver.inf"] } ],
  "communications": { "cache": {
    "kelvane.example/1001": "file:///C:\\cache\\1001.htm",
    "kelvane.example/notes.txt": "C:\\cache\\notes.txt",
    "kelvane.example/zr_tsr01.tmp": "C:\\cache\\zr_tsr01.tmp" } }
})";

// The model of the process, refreshed from this fixture with every channel's stories loaded.
class StoryServicesTest : public vinnet_tests::ModelTest {
 protected:
  void SetUp() override {
    ModelTest::SetUp();
    Load(kFixture);
    CServices* services = GetCServices();
    ASSERT_NE(nullptr, services);
    EXPECT_EQ(1, services->Refresh());
    for (int i = 0; i < services->GetNoServices(); ++i) services->GetService(i)->LoadChannelData();
    ReleaseCServices(services);
  }
  void TearDown() override { DestroyCServices(); }

  static tagStoryCaps All() {
    tagStoryCaps caps;
    std::memset(&caps, 0xAB, sizeof caps);
    caps.mask = 0x1FF;
    return caps;
  }
};

TEST_F(StoryServicesTest, CapabilitiesOfAStoryWithAVessikALocalStoryAndABareOne) {
  tagStoryCaps caps = All();
  ASSERT_EQ(1, GetStoryCaps(7, 1001, &caps));
  EXPECT_EQ(1u, caps.canPlayVessik);
  EXPECT_EQ(1u, caps.hasLink);
  EXPECT_EQ(1u, caps.canMail);
  EXPECT_EQ(1u, caps.canDownload);
  EXPECT_EQ(1u, caps.canKeep);
  EXPECT_EQ(1u, caps.isKept);
  EXPECT_EQ(1u, caps.hasVessik);
  EXPECT_EQ(1u, caps.hasIds);
  EXPECT_EQ(1u, caps.canReplicate);

  caps = All();
  ASSERT_EQ(1, GetStoryCaps("7:1002", &caps));
  EXPECT_EQ(0u, caps.canPlayVessik) << "a negative Vessik type, and no Vessik";
  EXPECT_EQ(1u, caps.hasLink);
  EXPECT_EQ(0u, caps.canDownload) << "already local";
  EXPECT_EQ(0u, caps.canKeep);
  EXPECT_EQ(0u, caps.isKept);

  caps = All();
  ASSERT_EQ(1, GetStoryCaps(7, 1003, &caps));
  EXPECT_EQ(0u, caps.hasLink);
  EXPECT_EQ(0u, caps.canDownload);
  EXPECT_EQ(0u, caps.canReplicate);

  caps = All();
  ASSERT_EQ(1, GetStoryCaps(12, 2001, &caps));
  EXPECT_EQ(0u, caps.hasVessik) << "a headlines channel carries no Vessiks";
}

TEST_F(StoryServicesTest, MaskZeroWritesNothingAndUnknownStoriesNothingAtAll) {
  tagStoryCaps caps = All();
  caps.mask = 0;
  const tagStoryCaps before = caps;
  EXPECT_EQ(1, GetStoryCaps(7, 1001, &caps));
  EXPECT_EQ(0, std::memcmp(&before, &caps, sizeof caps));
  caps.mask = 0x1FF;
  const tagStoryCaps asked = caps;
  EXPECT_EQ(0, GetStoryCaps(7, 999, &caps));
  EXPECT_EQ(0, GetStoryCaps(8, 1001, &caps));
  EXPECT_EQ(0, GetStoryCaps("no story", &caps));
  EXPECT_EQ(0, std::memcmp(&asked, &caps, sizeof caps));
  EXPECT_EQ(0, GetStoryCaps(7, 1001, nullptr));
}

TEST_F(StoryServicesTest, CategoriesGroupChannelsAndUncategorisedOnesAreMiscellaneous) {
  CMapStringToString categories;
  categories.SetAt("stale", "1");
  EXPECT_EQ(2, GetCategoryList(categories, 0, 0));
  CString ids;
  EXPECT_TRUE(categories.Lookup("Miscellaneous", ids));
  EXPECT_EQ("9,12", ids) << "sorted as numbers";
  EXPECT_TRUE(categories.Lookup("Updates", ids));
  EXPECT_EQ("7", ids);
  EXPECT_EQ(3, GetCategoryList(categories, 1, 0));
  EXPECT_TRUE(categories.Lookup("Alerts", ids));
  EXPECT_EQ("4261412833", ids);
}

TEST_F(StoryServicesTest, MailingAStoryAttachesItsCachedDocumentsAndLinksTheStory) {
  testing_support::StandinMail mail;
  EXPECT_EQ(1, MailStory(7, 1001, nullptr));
  const auto sent = mail.Messages();
  ASSERT_EQ(1u, sent.size());
  EXPECT_EQ(static_cast<ULONG>(MAPI_DIALOG), sent[0].flags);
  EXPECT_EQ("Driver 2.1", sent[0].subject);
  EXPECT_EQ("New driver\\x0D\\x0A\\x0D\\x0AFull Story:  http://kelvane.example/1001", sent[0].body);
  EXPECT_THAT(sent[0].attachments, ElementsAre("C:\\x5Ccache\\x5C1001.htm | 1001.htm", "C:\\x5Ccache\\x5Cnotes.txt | notes.txt"));
  EXPECT_THAT(ravlin_tests::JournalLines(*standin_), ::testing::Contains(::testing::StartsWith("Vessik[5001].Access(")));

  EXPECT_EQ(0, MailStory(7, 999, nullptr));
  EXPECT_EQ(1u, mail.Messages().size());
}

}  // namespace
