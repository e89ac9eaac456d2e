#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "iad_file.h"
#include "log_reader.h"
#include "testing/temp_dir.h"

namespace {

using hookwell::ExtensionLog;
using hookwell::HvIadFile;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

const char kIncomplete[] = ".  Data in UI will be incomplete.";

// One description file and the log its reader writes to.
class IadFileTest : public ::testing::Test {
 protected:
  // The title read from a file holding text, and the log lines the reading wrote.
  std::string TitleOf(const std::string& text) {
    testing_support::WriteFile(path_, text);
    return HvIadFile(&log_, path_).title();
  }
  std::vector<std::string> Logged() { return ReadLog(log_path_).messages; }

  testing_support::TempDir directory_;
  const std::string path_ = directory_ / "info.iad";
  const std::string log_path_ = directory_ / "ExtensionDll.log";
  ExtensionLog log_{log_path_};
};

TEST_F(IadFileTest, ReadsTheQuotedNameOfThePresentationGroup) {
  EXPECT_EQ("[X1] Display driver update",
            TitleOf("; description\r\n[general]\r\nname=\"not this one\"\r\n[presentation]\r\n"
                    "version=\"3\"\r\nname=\"[X1] Display driver update\" trailing\r\n[other]\r\n"));
  EXPECT_THAT(Logged(), IsEmpty());
}

TEST_F(IadFileTest, LooksUpAnyTagOfAnyGroup) {
  testing_support::WriteFile(path_, "[presentation]\nname=\"T\"\n[general]\nversion=\"2.1\"\nempty=\"\"\n");
  HvIadFile file(&log_, path_);
  EXPECT_EQ("T", file.title());
  EXPECT_EQ("2.1", file.Value("general", "version"));
  EXPECT_EQ("", file.Value("general", "empty"));
  EXPECT_THAT(Logged(), IsEmpty());
}

TEST_F(IadFileTest, ValueRunsFromTheFirstEqualsQuoteToTheNextQuote) {
  EXPECT_EQ("a", TitleOf("[presentation]\nname=\"a\"b\"\n"));
  EXPECT_EQ("b", TitleOf("[presentation]\nname=x=\"b\"\n"));
  EXPECT_EQ(" spaced ", TitleOf("[presentation]\nname=\" spaced \"\n"));
  EXPECT_THAT(Logged(), IsEmpty());
}

TEST_F(IadFileTest, EmptyQuotesGiveAnEmptyTitleWithoutComplaint) {
  EXPECT_EQ("", TitleOf("[presentation]\nname=\"\"\n"));
  EXPECT_THAT(Logged(), IsEmpty());
}

TEST_F(IadFileTest, MissingFileIsLogged) {
  EXPECT_EQ("", HvIadFile(&log_, path_).title());
  EXPECT_THAT(Logged(), ElementsAre("HvIadFile Unable to open iad file " + path_ + kIncomplete));
}

TEST_F(IadFileTest, HeaderMustStartItsLineAndMatchCase) {
  EXPECT_EQ("recognised", TitleOf("[presentation] extra\nname=\"recognised\"\n"));
  EXPECT_EQ("", TitleOf(" [presentation]\nname=\"indented\"\n"));
  EXPECT_EQ("", TitleOf("[Presentation]\nname=\"other case\"\n"));
  const std::string missing = "HvIadFile Unable to find group presentation in iad file " + path_ + kIncomplete;
  EXPECT_THAT(Logged(), ElementsAre(missing, missing));
}

TEST_F(IadFileTest, TagOfALaterGroupIsTakenWhenThePresentationGroupHasNone) {
  EXPECT_EQ("from later group", TitleOf("[presentation]\nversion=\"1\"\n[general]\nname=\"from later group\"\n"));
  EXPECT_EQ("", TitleOf("[presentation]\n name=\"indented\"\nName=\"other case\"\n"));
  EXPECT_THAT(Logged(), ElementsAre("HvIadFile Unable to find tag name in iad file " + path_ + kIncomplete));
}

TEST_F(IadFileTest, UnterminatedLastLineIsNeverExamined) {
  EXPECT_EQ("", TitleOf("[general]\n[presentation]"));
  EXPECT_EQ("", TitleOf("[presentation]\nname=\"last\""));
  EXPECT_EQ("last", TitleOf("[presentation]\nname=\"last\"\n"));
  EXPECT_THAT(Logged(), ElementsAre("HvIadFile Unable to find group presentation in iad file " + path_ + kIncomplete,
                                    "HvIadFile Unable to find tag name in iad file " + path_ + kIncomplete));
}

TEST_F(IadFileTest, UnquotedValueIsLoggedWithItsLine) {
  EXPECT_EQ("", TitleOf("[presentation]\r\nname=abc\r\n"));
  EXPECT_EQ("", TitleOf("[presentation]\nname=\"unclosed\n"));
  EXPECT_THAT(Logged(), ElementsAre("HvIadFile Unable to collect value for tag on line name=abc of file " + path_,
                                    "HvIadFile Unable to collect value for tag on line name=\"unclosed of file " + path_));
}

TEST_F(IadFileTest, ControlCharactersOfALineReachTheLogEscaped) {
  // Only a carriage return before a line feed is dropped; one inside the line stays in it.
  EXPECT_EQ("", TitleOf("[presentation]\nname=abc\r19991122.143501 | 3 | forged\x1B[2J\n"));
  EXPECT_THAT(Logged(), ElementsAre("HvIadFile Unable to collect value for tag on line name=abc\\x0D19991122.143501 | 3 "
                                    "| forged\\x1B[2J of file " + path_));
}

TEST_F(IadFileTest, LinesUpTo64KiBAreReadAndALongerOneIsReportedUnread) {
  const size_t limit = 64 * 1024;
  // name="..." as long as the limit allows, then one byte longer.
  const std::string longest(limit - 7, 'a');
  EXPECT_EQ(longest, TitleOf("[presentation]\r\nname=\"" + longest + "\"\r\n"));
  EXPECT_THAT(Logged(), IsEmpty());
  EXPECT_EQ("", TitleOf("[presentation]\r\nname=\"" + longest + "a\"\r\n"));
  // A line that is too long ends the search wherever it lies, the group's header line too.
  EXPECT_EQ("", TitleOf("; " + std::string(limit, '-') + "\n[presentation]\nname=\"after\"\n"));
  auto unread = [this](int line) {
    return "HvIadFile Unable to read line " + std::to_string(line) + " of iad file " + path_ +
           ": it is longer than 65536 bytes" + kIncomplete;
  };
  EXPECT_THAT(Logged(), ElementsAre(unread(2), unread(1)));
}

TEST_F(IadFileTest, AHugeLineIsNeitherKeptNorLogged) {
  // Eight megabytes without a line end, after the group's header.
  EXPECT_EQ("", TitleOf("[presentation]\nname=\"" + std::string(8 * 1024 * 1024, 'x')));
  EXPECT_THAT(Logged(), ElementsAre(::testing::HasSubstr("Unable to read line 2 of iad file")));
  EXPECT_LT(testing_support::ReadFile(log_path_).size(), 1024u);
}

}  // namespace
