// The control's properties: defaults, PARAM values through a property bag, saved and loaded
// streams of this and the older version.
#include "storyroll_test_support.h"

#include "comsupport/com_ptr.h"

namespace storyroll_tests {
namespace {

class StoryrollPersistence : public StoryrollTest {};

// A stream as the older version wrote it: version, extent, stock colours, two switches.
comsupport::ComPtr<IStream> OlderStream() {
  comsupport::ComPtr<IStream> stream;
  EXPECT_EQ(S_OK, ::CreateStreamOnHGlobal(nullptr, TRUE, stream.put()));
  const DWORD values[] = {0x00010000, 10583, 5291, 0x00C0C0C0, 0x00000080, 1, 1};
  EXPECT_EQ(S_OK, stream->Write(values, sizeof(values), nullptr));
  LARGE_INTEGER start = {};
  stream->Seek(start, STREAM_SEEK_SET, nullptr);
  return stream;
}

TEST_F(StoryrollPersistence, DefaultsOfANewControl) {
  HostedStoryroll roll;
  EXPECT_FALSE(roll.GetBool("EmbeddedSummaries"));
  EXPECT_FALSE(roll.GetBool("UnreadItemsOnly"));
  EXPECT_TRUE(roll.GetBool("AlertColumn"));
  EXPECT_TRUE(roll.GetBool("AttachmentColumn"));
  EXPECT_TRUE(roll.GetBool("SignedColumn"));
  EXPECT_EQ(0xFF0000, roll.GetLong("SummaryColor"));
  EXPECT_EQ(0xFF0000, roll.GetLong("HighlightBackColor"));
  EXPECT_EQ(0xFFFFFF, roll.GetLong("HighlightForeColor"));
  EXPECT_EQ(0xFFFFFF, roll.GetLong("BackColor")) << "not the host's ambient colour";
  EXPECT_EQ(0x000000, roll.GetLong("ForeColor"));
  EXPECT_EQ(0, roll.GetLong("NumStories"));
  EXPECT_EQ(-1, roll.GetLong("SelectedStoryIndex"));
  SIZEL extent = {};
  auto object = comsupport::ComPtr<IUnknown>(roll.container().control()).As<IOleObject>();
  ASSERT_TRUE(object);
  EXPECT_EQ(S_OK, object->GetExtent(DVASPECT_CONTENT, &extent));
  EXPECT_GT(extent.cx, extent.cy) << "400 by 200 pixels";
}

TEST_F(StoryrollPersistence, ParamsLoadThroughThePropertyBagAndSaveBack) {
  HostedStoryroll roll(standin::Initialization::FromParams({{"EmbeddedSummaries", "-1"},
                                                            {"UnreadItemsOnly", "true"},
                                                            {"HighlightBackColor", "255"},
                                                            {"SummaryColor", "&H00FF00"},
                                                            {"SignedColumn", "0"}}));
  EXPECT_TRUE(roll.GetBool("EmbeddedSummaries"));
  EXPECT_TRUE(roll.GetBool("UnreadItemsOnly"));
  EXPECT_EQ(255, roll.GetLong("HighlightBackColor"));
  EXPECT_EQ(0x00FF00, roll.GetLong("SummaryColor"));
  EXPECT_FALSE(roll.GetBool("SignedColumn"));
  EXPECT_EQ(0xFFFFFF, roll.GetLong("HighlightForeColor")) << "what the page leaves out keeps its default";

  comsupport::ComPtr<standin::PropertyBag> saved;
  ASSERT_EQ(S_OK, roll.container().SaveToBag(&saved));
  HostedStoryroll again(standin::Initialization::FromParams(saved->values()));
  EXPECT_TRUE(again.GetBool("UnreadItemsOnly"));
  EXPECT_EQ(255, again.GetLong("HighlightBackColor"));
  EXPECT_FALSE(again.GetBool("SignedColumn"));
}

TEST_F(StoryrollPersistence, StreamsRoundTripAndOlderOnesKeepTheNewerDefaults) {
  comsupport::ComPtr<IStream> stream;
  {
    HostedStoryroll roll;
    roll.PutBool("UnreadItemsOnly", true);
    roll.Put("HighlightForeColor", Long(0x123456));
    roll.PutBool("AttachmentColumn", false);
    roll.Put("BackColor", Long(0x00EEEEEE));
    ASSERT_EQ(S_OK, roll.container().SaveToStream(&stream));
  }
  {
    HostedStoryroll roll(standin::Initialization::FromStream(stream.get()));
    EXPECT_TRUE(roll.GetBool("UnreadItemsOnly"));
    EXPECT_EQ(0x123456, roll.GetLong("HighlightForeColor"));
    EXPECT_FALSE(roll.GetBool("AttachmentColumn"));
    EXPECT_EQ(0x00EEEEEE, roll.GetLong("BackColor"));
  }
  HostedStoryroll older(standin::Initialization::FromStream(OlderStream().get()));
  EXPECT_TRUE(older.GetBool("EmbeddedSummaries"));
  EXPECT_TRUE(older.GetBool("UnreadItemsOnly"));
  EXPECT_EQ(0x00C0C0C0, older.GetLong("BackColor"));
  EXPECT_EQ(0xFF0000, older.GetLong("HighlightBackColor")) << "not in the older version: default";
  EXPECT_TRUE(older.GetBool("AlertColumn"));
}

TEST_F(StoryrollPersistence, ADamagedStreamFailsAndLeavesDefaults) {
  comsupport::ComPtr<IStream> stream;
  ASSERT_EQ(S_OK, ::CreateStreamOnHGlobal(nullptr, TRUE, stream.put()));
  const DWORD values[] = {0x00010001, 10583};
  ASSERT_EQ(S_OK, stream->Write(values, sizeof(values), nullptr));
  LARGE_INTEGER start = {};
  stream->Seek(start, STREAM_SEEK_SET, nullptr);
  standin::ControlContainer container;
  EXPECT_NE(S_OK, container.Create("Zorvane.StoryrollCtrl.1", standin::Initialization::FromStream(stream.get())));
  container.Teardown();
}

}  // namespace
}  // namespace storyroll_tests
