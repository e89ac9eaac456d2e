// Vessik operations: interaction, playing, size, properties, access (with the disk-space
// message), replication and authentication.
#include "operations_fixture.h"

namespace {

using ravlin_tests::BoxPresser;
using ravlin_tests::OperationsTest;
using testing::Contains;
using testing::ElementsAre;
using testing::HasSubstr;
using testing::Not;

class VessikOperations : public OperationsTest {};

std::vector<std::string> VessikPath() {
  return {"Application.get_Channels()", "Channels.get_Item(7)", "Channel[7].get_Vessiks()", "Vessiks[7].get_Item(5001)"};
}

std::vector<std::string> Then(std::vector<std::string> lines, const std::vector<std::string>& more) {
  lines.insert(lines.end(), more.begin(), more.end());
  return lines;
}

TEST_F(VessikOperations, InteractionPlaySizeAndPropertiesCallTheVessik) {
  EXPECT_EQ(1, ZRRecordUserInteraction(7, 5001, 3));
  EXPECT_EQ(1, ZRPlayVessik(7, 5001));
  unsigned long size = 0;
  EXPECT_EQ(1, ZRGetVessikSize(7, 5001, &size));
  EXPECT_EQ(9000000u, size);
  EXPECT_EQ(1, ZRShowVessikProperties(Parent(), 7, 5001));
  std::vector<std::string> expected = Then(VessikPath(), {"Vessik[5001].RecordUserInteraction(3)"});
  expected = Then(Then(expected, VessikPath()), {"Vessik[5001].Play()"});
  expected = Then(Then(expected, VessikPath()), {"Vessik[5001].get_Size()"});
  expected = Then(Then(expected, VessikPath()), {"Vessik[5001].ShowPropertiesDialog(" + ParentNumber() + ")"});
  EXPECT_THAT(Journal(), testing::ElementsAreArray(expected));

  EXPECT_EQ(0, ZRPlayVessik(7, 5999));
  for (const char* member : {"Vessik.RecordUserInteraction", "Vessik.Play", "Vessik.get_Size",
                             "Vessik.ShowPropertiesDialog"})
    Fail(member);
  EXPECT_EQ(0, ZRRecordUserInteraction(7, 5001, 3));
  EXPECT_EQ(0, ZRPlayVessik(7, 5001));
  EXPECT_EQ(0, ZRGetVessikSize(7, 5001, &size));
  EXPECT_EQ(0, ZRShowVessikProperties(Parent(), 7, 5001));
}

TEST_F(VessikOperations, AccessAsksForTheMinutesWithoutFlags) {
  EXPECT_EQ(1, ZRAccessVessik(7, 5001, 0xFFFFFFFF));
  EXPECT_THAT(Journal(), testing::ElementsAreArray(Then(VessikPath(), {"Vessik[5001].Access(0, -1)"})));
  // Another failure shows nothing.
  Fail("Vessik.Access");
  EXPECT_EQ(0, ZRAccessVessik(7, 5001, 10));
  EXPECT_TRUE(testing_support::NoDialogFor("Zorvane", 300));
}

TEST_F(VessikOperations, AccessOnAFullMediumTellsTheUser) {
  Fail("Vessik.Access", static_cast<HRESULT>(0x80030070));
  BoxPresser presser("Zorvane", "OK");
  EXPECT_EQ(0, ZRAccessVessik(7, 5001, 10));
  BoxPresser::Seen seen = presser.Join();
  ASSERT_TRUE(seen.found);
  EXPECT_EQ("Insufficient disk space available to access story.", seen.contents.message);
  EXPECT_EQ(testing_support::DialogIcon::Warning, seen.contents.icon);
  EXPECT_THAT(seen.contents.buttons, ElementsAre("OK"));
  EXPECT_EQ(nullptr, seen.owner);
}

TEST_F(VessikOperations, ReplicationNeedsDestinations) {
  EXPECT_EQ(0, ZRReplicateVessik(7, 5001));
  EXPECT_THAT(Journal(), Contains("Replication.get_HasDestinations()"));
  EXPECT_THAT(Journal(), Not(Contains(HasSubstr("Replicate("))));
}

TEST_F(VessikOperations, ReplicationAttachesTheVessikAndCopiesFromTheSource) {
  Check(control()->ChangeSettings(comsupport::Bstr(std::string(R"({"replication": true})")).get(), 0));
  ChangeChannel(7, R"({"replicationSource": true})");
  EXPECT_EQ(1, ZRReplicateVessik(7, 5001));
  EXPECT_THAT(Journal(),
              testing::ElementsAreArray(Then(VessikPath(),
                                             {"Application.get_Channels()", "Channels.get_Item(7)",
                                              "Channel[7].get_ReplicationSource()", "Vessik[5001].get_Files()",
                                              "VessikFiles[5001].get_Count()", "Replicator.get_Replication()",
                                              "Replication.Attach(object, 0)", "Replication.get_HasFiles()",
                                              "Replication.get_HasDestinations()", "Replication.Replicate(object)"})));
}

TEST_F(VessikOperations, ReplicationWithoutSourceOrFilesOrWhenReplicateFails) {
  Check(control()->ChangeSettings(comsupport::Bstr(std::string(R"({"replication": true})")).get(), 0));
  ClearJournal();
  // A channel that does not replicate gives no source: null is passed on.
  EXPECT_EQ(1, ZRReplicateVessik(7, 5001));
  EXPECT_THAT(Journal(), Contains("Replication.Replicate(null)"));
  Fail("Replication.Replicate");
  EXPECT_EQ(0, ZRReplicateVessik(7, 5001));
  ChangeVessik(5001, R"({"files": []})");
  EXPECT_EQ(0, ZRReplicateVessik(7, 5001));
  EXPECT_THAT(Journal(), Not(Contains("Replicator.get_Replication()")));
}

TEST_F(VessikOperations, AuthenticationOfAnApprovedVessikNeedsNoDialog) {
  int approved = 5;
  EXPECT_EQ(0, ZRAuthenticateVessik(Parent(), 7, 5001, &approved));
  EXPECT_EQ(1, approved);
  EXPECT_THAT(Journal(), testing::ElementsAreArray(Then(VessikPath(), {"Vessik[5001].get_AuthenticationState()"})));
}

TEST_F(VessikOperations, AuthenticationAsksTheApprovalDialogWithItsTitle) {
  ChangeVessik(5001, R"({"authenticationState": 2})");
  int approved = 0;
  EXPECT_EQ(0, ZRAuthenticateVessik(Parent(), 7, 5001, &approved));
  EXPECT_EQ(1, approved);
  EXPECT_THAT(Journal(), testing::ElementsAreArray(Then(
                             VessikPath(), {"Vessik[5001].get_AuthenticationState()", "Vessik[5001].get_ApprovalDialog()",
                                            "ApprovalDialog.put_Caption(\"Zorvane's file executable security approval\")",
                                            "ApprovalDialog.Show(" + ParentNumber() + ")"})));
  Fail("ApprovalDialog.Show");
  EXPECT_EQ(0, ZRAuthenticateVessik(Parent(), 7, 5001, &approved));
  EXPECT_EQ(0, approved);
}

TEST_F(VessikOperations, AuthenticationOfARejectedVessikIsNotApproved) {
  ChangeVessik(5001, R"({"authenticationState": 3})");
  int approved = 1;
  EXPECT_EQ(0, ZRAuthenticateVessik(Parent(), 7, 5001, &approved));
  EXPECT_EQ(0, approved);
  approved = 1;
  EXPECT_EQ(0, ZRAuthenticateVessik(Parent(), 7, 5999, &approved));
  EXPECT_EQ(0, approved);
}

}  // namespace
