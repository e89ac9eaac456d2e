// Settings and their dialogs, what the client tells of itself, and the player.
#include "operations_fixture.h"

namespace {

using ravlin_tests::OperationsTest;
using testing::Contains;
using testing::ElementsAre;

class SettingsOperations : public OperationsTest {};
class PlayerOperations : public OperationsTest {};

TEST_F(SettingsOperations, SetupDialogsRunOnTheLibraryThreadWithTheParent) {
  EXPECT_EQ(1, ZRGlobalOptions(Parent()));
  EXPECT_EQ(1, ZRAlertSettings(Parent()));
  EXPECT_EQ(1, ZRFilterSettings(Parent()));
  EXPECT_EQ(1, ZRQuickSetupOptions(Parent()));
  std::string parent = ParentNumber();
  EXPECT_THAT(Journal(), ElementsAre("Application.get_Setup()", "Setup.ShowSetupDialog(" + parent + ")",
                                     "Application.get_Setup()", "Setup.get_AlertsDialog()", "AlertsDialog.Show(" + parent + ")",
                                     "Application.get_Setup()", "Setup.get_FiltersDialog()", "FiltersDialog.Show(" + parent + ")",
                                     "Application.get_Setup()", "Setup.get_QuickSetupDialog()",
                                     "QuickSetupDialog.Show(" + parent + ")"));
  for (const char* member : {"Setup.ShowSetupDialog", "AlertsDialog.Show", "Setup.get_FiltersDialog", "Application.get_Setup"})
    Fail(member);
  EXPECT_EQ(0, ZRGlobalOptions(Parent()));
  EXPECT_EQ(0, ZRAlertSettings(Parent()));
  EXPECT_EQ(0, ZRFilterSettings(Parent()));
  EXPECT_EQ(0, ZRQuickSetupOptions(Parent()));
}

TEST_F(SettingsOperations, AutoplayAndDownloadAreReadAndWritten) {
  int value = 0;
  EXPECT_EQ(1, ZRGetAutoplayEnabled(&value));
  EXPECT_EQ(1, value);
  EXPECT_EQ(1, ZRSetAutoplayEnabled(0));
  EXPECT_EQ(1, ZRGetAutoplayEnabled(&value));
  EXPECT_EQ(0, value);
  EXPECT_EQ(1, ZRSetDownloadEnabled(0));
  EXPECT_EQ(1, ZRGetDownloadEnabled(&value));
  EXPECT_EQ(0, value);
  EXPECT_THAT(Journal(), ElementsAre("Application.get_Setup()", "Setup.get_General()", "GeneralSettings.get_AutoplayEnabled()",
                                     "Application.get_Setup()", "Setup.get_General()",
                                     "GeneralSettings.put_AutoplayEnabled(false)", "Application.get_Setup()",
                                     "Setup.get_General()", "GeneralSettings.get_AutoplayEnabled()",
                                     "Application.get_Setup()", "Setup.get_General()",
                                     "GeneralSettings.put_DownloadEnabled(false)", "Application.get_Setup()",
                                     "Setup.get_General()", "GeneralSettings.get_DownloadEnabled()"));
  Fail("GeneralSettings.get_DownloadEnabled");
  EXPECT_EQ(0, ZRGetDownloadEnabled(&value));
  Fail("Setup.get_General");
  EXPECT_EQ(0, ZRSetAutoplayEnabled(1));
}

TEST_F(SettingsOperations, WhatTheClientTellsOfItself) {
  Load(ExampleWith(R"("major": 4, "minor": 2, "build": 100, "workgroup": "")",
                   R"("major": 65540, "minor": 65538, "build": 100, "workgroup": "Sales", "restrictions": 2147483650)"));
  unsigned short major = 0, minor = 0;
  unsigned long build = 0, restrictions = 0;
  EXPECT_EQ(1, ZRGetProduct(&major, &minor, &build));
  EXPECT_EQ(4, major);  // cut to 16 bits
  EXPECT_EQ(2, minor);  // cut to 16 bits too
  EXPECT_EQ(100u, build);
  QMBuffer workgroup;
  EXPECT_EQ(1, ZRGetWorkgroup(workgroup));
  EXPECT_STREQ("Sales", workgroup.GetText());
  EXPECT_EQ(1, ZRGetWorkgroupRestrictions(&restrictions));
  EXPECT_EQ(2147483650u, restrictions);
  int replication = 1;
  EXPECT_EQ(1, ZRGetReplicationEnabled(&replication));
  EXPECT_EQ(0, replication);
  EXPECT_THAT(Journal(), ElementsAre("Application.ClientVersion()", "Application.get_ClientWorkgroup()",
                                     "Application.get_ClientRestrictions()", "Application.get_Setup()",
                                     "Setup.get_ReplicationEnabled()"));
  for (const char* member : {"Application.ClientVersion", "Application.get_ClientWorkgroup",
                             "Application.get_ClientRestrictions", "Setup.get_ReplicationEnabled"})
    Fail(member);
  EXPECT_EQ(0, ZRGetProduct(&major, &minor, &build));
  EXPECT_EQ(0, ZRGetWorkgroup(workgroup));
  EXPECT_EQ(0, ZRGetWorkgroupRestrictions(&restrictions));
  EXPECT_EQ(0, ZRGetReplicationEnabled(&replication));
}

TEST_F(PlayerOperations, PlayerCallsAndTheirAnswers) {
  EXPECT_EQ(1, ZRShellURL("http://kelvane.example/1001"));
  EXPECT_EQ(1, ZRStopCurrentAnimation());
  EXPECT_EQ(1, ZRRemoveWallpaper());
  EXPECT_EQ(1, ZRReplayLastAnimation());
  int can = 0, playing = 1;
  EXPECT_EQ(1, ZRCanReplayLastAnimation(&can));
  EXPECT_EQ(1, can);
  EXPECT_EQ(1, ZRIsAnimationPlaying(&playing));
  EXPECT_EQ(0, playing);
  EXPECT_THAT(Journal(), ElementsAre("Application.get_Player()", "Player.PlayURL(\"http://kelvane.example/1001\")",
                                     "Application.get_Player()", "Player.AbortCurrentPlayer()", "Application.get_Player()",
                                     "Player.RemoveWallpaper()", "Application.get_Player()", "Player.ReplayLast()",
                                     "Application.get_Player()", "Player.get_CanReplayLast()", "Application.get_Player()",
                                     "Player.get_IsCurrentlyPlaying()"));
  Fail("Application.get_Player");
  EXPECT_EQ(0, ZRShellURL("http://x"));
  EXPECT_EQ(0, ZRCanReplayLastAnimation(&can));
}

TEST_F(PlayerOperations, LastAnimationNameIsCutBeforeItsBrackets) {
  Load(ExampleWith(R"("lastName": "Display driver 2.1")", R"x("lastName": "  Driver 2.1  [] (kept)")x"));
  DWORD channel = 0, vessik = 0;
  QMBuffer name;
  EXPECT_EQ(1, ZRGetLastAnimationInfo(&channel, &vessik, &name));
  EXPECT_EQ(7u, channel);
  EXPECT_EQ(5001u, vessik);
  EXPECT_STREQ("Driver 2.1", name.GetText());
  EXPECT_THAT(Journal(), ElementsAre("Application.get_Player()", "Player.GetLastPlayed()"));
  // Without a buffer, and with brackets that open the name (kept as it is).
  EXPECT_EQ(1, ZRGetLastAnimationInfo(&channel, &vessik, nullptr));
  Load(ExampleWith(R"("lastName": "Display driver 2.1")", R"("lastName": "[] Driver")"));
  EXPECT_EQ(1, ZRGetLastAnimationInfo(&channel, &vessik, &name));
  EXPECT_STREQ("[] Driver", name.GetText());
  // Nothing played yet: the buffer is emptied and the call still succeeds.
  Load(ExampleWith(R"("lastName": "Display driver 2.1")", R"("lastName": "")"));
  name.SetText("left over");
  EXPECT_EQ(1, ZRGetLastAnimationInfo(&channel, &vessik, &name));
  EXPECT_EQ(0, name.GetSize());
  Fail("Player.GetLastPlayed");
  EXPECT_EQ(0, ZRGetLastAnimationInfo(&channel, &vessik, &name));
}

}  // namespace
