#include <gtest/gtest.h>

#include "testing/box_thread.h"
#include "testing/dialog_driver.h"
#include "testing/process.h"

namespace {

using testing_support::BoxThread;
using testing_support::DialogIcon;
using testing_support::WaitForDialog;

TEST(DialogDriver, ReadsAndPressesMessageBoxOfAnotherThread) {
  int result = 0;
  BoxThread shower("Driver Thread Box", [&] {
    result = ::MessageBoxA(nullptr, "First line\nsecond line", "Driver Thread Box", MB_OK | MB_ICONWARNING);
  });
  auto dialog = WaitForDialog("Driver Thread Box", 300000);
  ASSERT_TRUE(dialog.has_value());
  auto contents = dialog->Read();
  EXPECT_EQ("Driver Thread Box", contents.caption);
  EXPECT_EQ("First line\nsecond line", contents.message);
  EXPECT_EQ(std::vector<std::string>{"OK"}, contents.buttons);
  EXPECT_STREQ("warning", DialogIconName(contents.icon));
  EXPECT_TRUE(dialog->Press("OK"));
  shower.Join();
  EXPECT_EQ(IDOK, result);
}

TEST(DialogDriver, ReadsAndPressesMessageBoxOfAnotherProcess) {
  auto process = testing_support::Process::Start(
      testing_support::Quote(testing_support::BuildOutput("message_box_program.exe")) +
      " \"Driver Process Box\" \"Replace the file?\" 0x24");  // MB_YESNO | MB_ICONQUESTION
  auto dialog = WaitForDialog("Driver Process Box", 600000);
  ASSERT_TRUE(dialog.has_value());
  auto contents = dialog->Read();
  EXPECT_EQ("Replace the file?", contents.message);
  EXPECT_EQ((std::vector<std::string>{"Yes", "No"}), contents.buttons);
  EXPECT_STREQ("question", DialogIconName(contents.icon));
  EXPECT_FALSE(dialog->Press("Maybe"));
  EXPECT_TRUE(dialog->Press("Yes"));
  EXPECT_TRUE(dialog->WaitClosed(120000));
  DWORD exit_code = 0;
  ASSERT_TRUE(process.Wait(300000, &exit_code));
  EXPECT_EQ(static_cast<DWORD>(IDYES), exit_code);
}

TEST(DialogDriver, MissingDialogEndsAfterItsTimeout) {
  DWORD start = ::GetTickCount();
  EXPECT_FALSE(WaitForDialog("No Such Box", 300).has_value());
  DWORD waited = ::GetTickCount() - start;
  EXPECT_GE(waited, 300u);
  EXPECT_LT(waited, 5000u);
}

TEST(DialogDriver, MessageBoxWithoutIconReportsNone) {
  BoxThread shower("Driver Plain Box", [] { ::MessageBoxA(nullptr, "plain", "Driver Plain Box", MB_OK); });
  auto dialog = WaitForDialog("Driver Plain Box", 300000);
  ASSERT_TRUE(dialog.has_value());
  EXPECT_STREQ("none", DialogIconName(dialog->Read().icon));
  EXPECT_TRUE(dialog->Press("OK"));
}

}  // namespace
