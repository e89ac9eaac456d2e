#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "comsupport/log_text.h"
#include "extension_log.h"
#include "log_reader.h"
#include "testing/temp_dir.h"

namespace {

using comsupport::EscapeLogText;
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

// Reads an escaped text back: "\xNN" is the byte NN, every other character is itself.
std::string Unescape(const std::string& text) {
  std::string original;
  for (size_t at = 0; at < text.size(); ++at) {
    if (text.compare(at, 2, "\\x") == 0 && at + 3 < text.size() && std::isxdigit(static_cast<unsigned char>(text[at + 2])) &&
        std::isxdigit(static_cast<unsigned char>(text[at + 3]))) {
      original += static_cast<char>(std::stoi(text.substr(at + 2, 2), nullptr, 16));
      at += 3;
    } else {
      original += text[at];
    }
  }
  return original;
}

TEST(ExtensionLogEscaping, ControlCharactersBecomeHexEscapes) {
  EXPECT_EQ("a\\x0Db\\x0Ac", EscapeLogText("a\rb\nc"));
  EXPECT_EQ("\\x1B[2J\\x09\\x7F", EscapeLogText("\x1B[2J\t\x7F"));
  EXPECT_EQ("nul\\x00end", EscapeLogText(std::string("nul\0end", 7)));
  // Paths and text of the ANSI code page stay readable.
  EXPECT_EQ("C:\\Cache\\Vessiks\\17\\info.iad", EscapeLogText("C:\\Cache\\Vessiks\\17\\info.iad"));
  EXPECT_EQ("\\\\server\\share\\Caf\xE9 [X1] update: 1.2", EscapeLogText("\\\\server\\share\\Caf\xE9 [X1] update: 1.2"));
  // A backslash is escaped only where an "x" follows, so text that looks like an escape stays apart
  // from one: a folder "x0A" is not a line feed, nor is a backslash before a real carriage return.
  EXPECT_EQ("C:\\x5Cx0A\\", EscapeLogText("C:\\x0A\\"));
  EXPECT_EQ("C:\\\\x0D", EscapeLogText("C:\\\r"));
  EXPECT_EQ("\\\\x5Cx", EscapeLogText("\\\\x"));
}

TEST(ExtensionLogEscaping, EveryTextComesBackUnchangedAndNoControlCharacterRemains) {
  const std::string alphabet = std::string("\\xX0aAD5C\r\n\x1B\x7F\xE9 ") + '\0';
  std::mt19937 random(20240611);
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    const size_t length = random() % 12;
    for (size_t i = 0; i < length; ++i) text += alphabet[random() % alphabet.size()];
    const std::string escaped = EscapeLogText(text);
    EXPECT_EQ(text, Unescape(escaped)) << escaped;
    for (char c : escaped) {
      const unsigned char byte = static_cast<unsigned char>(c);
      ASSERT_TRUE(byte >= 0x20 && byte != 0x7F) << escaped;
    }
  }
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

TEST(ExtensionLogFile, TextFromOutsideCannotForgeALine) {
  TempDir directory;
  const std::string path = directory / "ExtensionDll.log";
  ExtensionLog log(path);
  HOOKWELL_REPORT(log, "HvIadFile",
                  "title\r\n19991122.143501 | 3 | ClientExt 1 $Revision:  $ forged\x1B[2J\rhidden\nlast");
  EXPECT_THAT(ReadLog(path).messages,
              ElementsAre("HvIadFile title\\x0D\\x0A19991122.143501 | 3 | ClientExt 1 $Revision:  $ forged\\x1B[2J"
                          "\\x0Dhidden\\x0Alast"));
  // The header's line and the message's: no other line end reached the disk.
  const std::string text = testing_support::ReadFile(path);
  EXPECT_EQ(2, std::count(text.begin(), text.end(), '\n'));
  EXPECT_EQ(2, std::count(text.begin(), text.end(), '\r'));
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
