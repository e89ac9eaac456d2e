#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "extension_log.h"
#include "log_reader.h"
#include "testing/temp_dir.h"

namespace {

using hookwell::ExtensionLog;
using ::testing::ElementsAre;
using ::testing::Each;
using ::testing::StartsWith;
using testing_support::TempDir;

const char kHeader[] = "// Halvern Mendlet Distribution Extension DLL Logfile";

TEST(ExtensionLogFormat, LineIsStampLevelAndMessage) {
  std::tm moment = {};
  moment.tm_year = 99;
  moment.tm_mon = 10;
  moment.tm_mday = 22;
  moment.tm_hour = 14;
  moment.tm_min = 35;
  moment.tm_sec = 1;
  EXPECT_EQ("19991122.143501 | 3 | ClientExt 237 $Revision:  $ Caught unhandled error\n",
            hookwell::FormatLogLine(moment, 3, ExtensionLog::LogLocation("ClientExt", 237) + "Caught unhandled error"));
  moment.tm_mon = 0;
  moment.tm_mday = 2;
  moment.tm_hour = 3;
  moment.tm_min = 4;
  moment.tm_sec = 5;
  EXPECT_EQ("19990102.030405 | 7 | \n", hookwell::FormatLogLine(moment, 7, ""));
}

TEST(ExtensionLogFile, StartsFreshWithHeaderAndTruncatesAnEarlierLog) {
  TempDir directory;
  const std::string path = directory / "ExtensionDll.log";
  {
    ExtensionLog first(path);
    HOOKWELL_REPORT(first, "ClientExt", "from the first log");
    ExtensionLog second(path);
    HOOKWELL_REPORT(second, "HvIadFile", "from the second log");
    LogContents contents = ReadLog(path);
    EXPECT_EQ(kHeader, contents.header);
    EXPECT_THAT(contents.messages, ElementsAre("HvIadFile from the second log"));
  }
  // Lines are on disk as soon as they are written, not when the log closes.
  ExtensionLog log(path);
  log.Report("ClientExt", 12, "flushed");
  EXPECT_THAT(ReadLog(path).messages, ElementsAre("ClientExt flushed"));
  EXPECT_NE(std::string::npos, testing_support::ReadFile(path).find("| 3 | ClientExt 12 $Revision:  $ flushed\r\n"));
}

TEST(ExtensionLogFile, LogThatCannotBeOpenedSwallowsMessages) {
  TempDir directory;
  ExtensionLog log(directory / "missing folder\\ExtensionDll.log");
  HOOKWELL_REPORT(log, "ClientExt", "goes nowhere");
  EXPECT_FALSE(testing_support::FileExists(directory / "missing folder\\ExtensionDll.log"));
}

TEST(ExtensionLogFile, LinesOfTwoThreadsStayWhole) {
  TempDir directory;
  const std::string path = directory / "ExtensionDll.log";
  constexpr int kLinesPerThread = 300;
  {
    ExtensionLog log(path);
    auto write = [&log](const std::string& text) {
      for (int i = 0; i < kLinesPerThread; ++i) HOOKWELL_REPORT(log, "ClientExt", text);
    };
    std::thread apartment(write, std::string(200, 'a'));
    std::thread watch(write, std::string(200, 'w'));
    apartment.join();
    watch.join();
  }
  LogContents contents = ReadLog(path);
  ASSERT_EQ(2u * kLinesPerThread, contents.messages.size());
  EXPECT_THAT(contents.messages, Each(StartsWith("ClientExt ")));
  for (const std::string& message : contents.messages) {
    const std::string text = message.substr(10);
    EXPECT_TRUE(text == std::string(200, 'a') || text == std::string(200, 'w')) << message;
  }
}

}  // namespace
