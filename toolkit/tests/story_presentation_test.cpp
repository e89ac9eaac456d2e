// How stories are presented: scroller formats of every mode, headlines, summaries, template
// expansion, parameters, and story values read and written by index.
#include "model_fixture.h"

namespace vinnet_tests {
namespace {

class StoryPresentation : public ModelTest {
 protected:
  void SetUp() override {
    ModelTest::SetUp();
    model_ = std::make_unique<LoadedModel>();
  }
  CService& Modes() { return model_->Channel(20); }
  long Story(DWORD id) { return model_->Index(20, id); }
  CString Headline(DWORD id) { return Modes().GetStoryHeadline(Story(id)); }
  CString Summary(DWORD id) { return Modes().GetStorySummary(Story(id)); }

  std::unique_ptr<LoadedModel> model_;
};

TEST_F(StoryPresentation, ChannelScrollerFormatComesFromTheDataInformation) {
  // "Format" beginning with "table" in any case; any other "Format" gives the default.
  EXPECT_EQ("7,%Title%,1", model_->Channel(9).GetScrollerFormat());
  EXPECT_EQ(VINNET_DEFAULT_SCROLLER_FORMAT, model_->Channel(7).GetScrollerFormat());
  // Without "Format", its "Scroller Field".
  EXPECT_EQ("2,%Title%,1,%Text%,1", model_->Channel(21).GetScrollerFormat());
  EXPECT_EQ(VINNET_DEFAULT_SCROLLER_FORMAT, Modes().GetScrollerFormat());

  CString scroller;
  EXPECT_EQ(1, CService::TranslateFormatToScrollerField("TaBlE", scroller));
  EXPECT_EQ("7,%Title%,1", scroller);
  EXPECT_EQ(0, CService::TranslateFormatToScrollerField("tab", scroller));
  EXPECT_EQ("", scroller);
  EXPECT_EQ(0, CService::TranslateFormatToScrollerField(nullptr, scroller));
}

TEST_F(StoryPresentation, StoryFormatIsItsFormatThenItsScrollerFieldThenTheChannels) {
  EXPECT_EQ(1, Modes().GetScrollerMode(Story(1)));
  EXPECT_EQ(2, Modes().GetScrollerMode(Story(3)));
  EXPECT_EQ(7, Modes().GetScrollerMode(Story(4)));
  // A "Format" that is no table gives the default, whatever "Scroller Field" says.
  EXPECT_EQ(1, Modes().GetScrollerMode(Story(5)));
  EXPECT_EQ(2, model_->Channel(21).GetScrollerMode(0));
  EXPECT_EQ(0, Modes().GetScrollerMode(99));

  CString field_template;
  int number = -1;
  ASSERT_EQ(1, Modes().GetScrollerField(Story(3), 0, field_template, number));
  EXPECT_EQ("%Title%", field_template);
  EXPECT_EQ(1, number);
  ASSERT_EQ(1, Modes().GetScrollerField(Story(3), 1, field_template, number));
  EXPECT_EQ("%Author% says", field_template);
  EXPECT_EQ(0, Modes().GetScrollerField(Story(3), 2, field_template, number));
  EXPECT_EQ("", field_template);
  ASSERT_EQ(1, Modes().GetScrollerField(Story(7), 1, field_template, number));
  EXPECT_EQ("%A%", field_template);
  EXPECT_EQ(0, number);
}

TEST_F(StoryPresentation, HeadlinesJoinTheTemplatesEachModeUses) {
  EXPECT_EQ("Budget", Headline(1));          // default, mode 1: the first template, trimmed
  EXPECT_EQ("Rain Ann says", Headline(3));   // mode 2: first and second
  EXPECT_EQ("Tabled", Headline(4));          // "Format" does not count for headlines
  EXPECT_EQ("Formatted", Headline(5));       // mode 2 with one template
  EXPECT_EQ("Six ()", Headline(6));          // mode 3: first only; missing field empty
  EXPECT_EQ("Seven bee", Headline(7));       // mode 7: every template, blanks skipped
  EXPECT_EQ("Eight ay bee", Headline(8));    // mode 6: first, then the further ones
  EXPECT_EQ("Nine ay", Headline(9));         // mode 4: first and second
  EXPECT_EQ("", Headline(10));               // mode 9: nothing
  EXPECT_EQ("Eleven ay", Headline(11));      // mode 5: first and second
  EXPECT_EQ("Twelve", Headline(12));         // mode 1: first only
  // The data's "Scroller Field" when the story has none.
  EXPECT_EQ("Head body", model_->Channel(21).GetStoryHeadline(0));
  EXPECT_EQ("", Modes().GetStoryHeadline(99));
}

TEST_F(StoryPresentation, HeadlineFollowsAChangeOfTheStory) {
  EXPECT_EQ("Budget", Headline(1));
  ASSERT_EQ(1, Modes().SetStoryField(Story(1), "Title", "Revised"));
  EXPECT_EQ("Revised", Headline(1));
  ASSERT_EQ(1, Modes().SetStoryAttribute(Story(1), "Scroller Field", "2,%Title%,1,%Text%,1"));
  EXPECT_EQ("Revised Full text", Headline(1));
}

TEST_F(StoryPresentation, SummariesOfTextModesAndParameterModes) {
  EXPECT_EQ("Budget@@Full text", Summary(1));
  EXPECT_EQ(1, Modes().IsStorySummaryAvailable(Story(1)));
  EXPECT_EQ("Empty@@No Summary Available", Summary(2));
  EXPECT_EQ(0, Modes().IsStorySummaryAvailable(Story(2)));
  EXPECT_EQ("Rain at@@noon&&Where@@Oslo&&", Summary(3));
  EXPECT_EQ(1, Modes().IsStorySummaryAvailable(Story(3)));
  // A table story without parameters has no summary.
  EXPECT_EQ("", Summary(4));
  EXPECT_EQ(0, Modes().IsStorySummaryAvailable(Story(4)));
}

TEST_F(StoryPresentation, SummaryEdgeModes) {
  EXPECT_EQ("Formatted@@f", Summary(5));
  // Text after an unmatched "%" is dropped: the second template expands to nothing.
  EXPECT_EQ("Six ()@@No Summary Available", Summary(6));
  EXPECT_EQ(0, Modes().IsStorySummaryAvailable(Story(6)));
  EXPECT_EQ("", Summary(7));
  EXPECT_EQ("P@@v&&", Summary(8));
  EXPECT_EQ(1, Modes().IsStorySummaryAvailable(Story(8)));
  EXPECT_EQ("", Summary(9));
  EXPECT_EQ("", Summary(10));
  EXPECT_EQ(0, Modes().IsStorySummaryAvailable(Story(10)));
  EXPECT_EQ("Twelve@@ay", Summary(12));
  EXPECT_EQ("", Modes().GetStorySummary(99));
}

TEST_F(StoryPresentation, ExpansionReplacesFieldsBetweenPercentSigns) {
  const long story = Story(1);
  EXPECT_EQ("[Budget] and Full text", Modes().ExpandScrollerParms(story, "[%Title%] and %Text%"));
  EXPECT_EQ("Budget 50", Modes().ExpandScrollerParms(story, "%Title% 50%"));
  EXPECT_EQ("Budget 50", Modes().ExpandScrollerParms(story, "%Title% 50% off"));
  EXPECT_EQ("x", Modes().ExpandScrollerParms(story, "%Nothing%x"));
  EXPECT_EQ("ab", Modes().ExpandScrollerParms(story, "a%%b"));
  EXPECT_EQ("", Modes().ExpandScrollerParms(story, nullptr));
  EXPECT_EQ("", Modes().ExpandScrollerParms(99, "%Title%"));
}

TEST_F(StoryPresentation, ParametersAreTheStorysNumberedNamesAndValues) {
  const long story = Story(3);
  EXPECT_EQ(2, Modes().GetNoParameters(story));
  CString name, value;
  ASSERT_EQ(1, Modes().GetParameterNameValue(story, 1, name, value));
  EXPECT_EQ("Where", name);
  EXPECT_EQ("Oslo", value);
  EXPECT_EQ(0, Modes().GetParameterNameValue(story, 2, name, value));
  EXPECT_EQ(0, Modes().GetParameterNameValue(story, -1, name, value));
  EXPECT_EQ(0, Modes().GetNoParameters(Story(1)));
}

TEST_F(StoryPresentation, StoryValuesByIndexAndById) {
  CService& news = model_->Channel(9);
  EXPECT_EQ(901u, news.GetStoryId(0));
  EXPECT_EQ(0u, news.GetStoryId(6));
  EXPECT_EQ(2, news.GetStoryIndex(903));
  EXPECT_EQ(-1, news.GetStoryIndex(999));
  CString story_id;
  ASSERT_EQ(1, news.GetStoryID(1, story_id));
  EXPECT_EQ("9:902", story_id);
  EXPECT_EQ(0, news.GetStoryID(-1, story_id));

  long read = -1;
  EXPECT_EQ(1, news.GetStoryAttribute(1, "Read", read));
  EXPECT_EQ(1, read);
  EXPECT_EQ(0, news.GetStoryAttribute(2, "Read", read));
  CString text;
  EXPECT_EQ(0, news.GetStoryAttribute(0, "Category", read));  // not a number
  EXPECT_EQ(1, news.GetStoryAttribute(0, "Category", text));
  EXPECT_EQ("World/Europe", text);
  EXPECT_EQ(1, news.SetStoryAttribute(2, "Read", 1L));
  EXPECT_EQ(1, news.GetStoryAttribute(2, "Read", read));
  EXPECT_EQ(1, read);
  EXPECT_EQ(1, news.SetStoryField(2, "Score", 7L));
  long score = 0;
  EXPECT_EQ(1, news.GetStoryField(2, "Score", score));
  EXPECT_EQ(7, score);
  EXPECT_EQ(0, news.SetStoryField(99, "Score", 7L));

  // Through the model, by story id text.
  CServices& services = model_->get();
  EXPECT_EQ(1, services.GetStoryField("9:903", "Title", text));
  EXPECT_EQ("Match", text);
  EXPECT_EQ(1, services.GetStoryHeadline("20:3", text));
  EXPECT_EQ("Rain Ann says", text);
  EXPECT_EQ(1, services.GetStorySummary("20:1", text));
  EXPECT_EQ("Budget@@Full text", text);
  EXPECT_EQ(1, services.GetStoryAttribute("9:902", "Alerted", read));
  EXPECT_EQ(1, read);
  EXPECT_EQ(0, services.GetStoryHeadline("9:999", text));
  EXPECT_EQ("", text);
  EXPECT_EQ(0, services.GetStoryField("55:1", "Title", text));

  EXPECT_EQ(1, news.DeleteStory(903));
  EXPECT_EQ(0, news.DeleteStory(903));
  EXPECT_EQ(5, news.GetNoStories());
  EXPECT_EQ(-1, news.GetStoryIndex(903));
}

}  // namespace
}  // namespace vinnet_tests
