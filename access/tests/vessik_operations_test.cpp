// Vessik operations: interaction, playing, size, properties, access (with the disk-space
// message), replication and authentication.
#include "operations_fixture.h"
#include "testing/temp_dir.h"

namespace {

using ravlin_tests::BoxPresser;
using ravlin_tests::OperationsTest;
using testing::Contains;
using testing::ElementsAre;
using testing::HasSubstr;
using testing::Not;

class VessikOperations : public OperationsTest {
 protected:
  // Vessik 5001's files, written into a folder of the test's own.
  void PutFilesInPlace() {
    std::string directory;
    for (char c : files_.path() + "\\") directory += c == '\\' ? std::string("\\\\") : std::string(1, c);
    ChangeVessik(5001, R"({"directory": ")" + directory + R"(", "files": ["MyMendlet.dat", "info.iad"]})");
    testing_support::WriteFile(files_ / "MyMendlet.dat", "info.iad\r\n");
    testing_support::WriteFile(files_ / "info.iad", "[Mendlet]\r\n");
  }
  void RemoveFilesInPlace() {
    ::DeleteFileA((files_ / "MyMendlet.dat").c_str());
    ::DeleteFileA((files_ / "info.iad").c_str());
  }
  void EnableReplication() { ChangeReplication(true); }
  void DisableReplication() { ChangeReplication(false); }

 private:
  void ChangeReplication(bool on) {
    std::string json = std::string(R"({"replication": )") + (on ? "true" : "false") + "}";
    Check(control()->ChangeSettings(comsupport::Bstr(json).get(), 0));
    ClearJournal();
  }
  testing_support::TempDir files_;
};

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
  // The client's properties box is modal: the call returns once the user has closed it.
  BoxPresser user("Display driver 2.1 Properties", "OK");
  EXPECT_EQ(1, ZRShowVessikProperties(Parent(), 7, 5001));
  EXPECT_TRUE(user.Join().found);
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
  PutFilesInPlace();
  EXPECT_EQ(0, ZRReplicateVessik(7, 5001));
  EXPECT_THAT(Journal(), Contains("Replication.get_HasDestinations()"));
  EXPECT_THAT(Journal(), Not(Contains(HasSubstr("Replicate("))));
}

TEST_F(VessikOperations, ReplicationAttachesTheVessikAndCopiesFromTheSource) {
  PutFilesInPlace();
  EnableReplication();
  ChangeChannel(7, R"({"replicationSource": true})");
  EXPECT_EQ(1, ZRReplicateVessik(7, 5001));
  EXPECT_THAT(Journal(),
              testing::ElementsAreArray(Then(VessikPath(),
                                             {"Application.get_Channels()", "Channels.get_Item(7)",
                                              "Channel[7].get_ReplicationSource()", "Vessik[5001].get_Files()",
                                              "VessikFiles[5001].get_Count()", "ReplicatorClass.CreateInstance()",
                                              "Replicator.get_Replication()",
                                              "Replication.Attach(object, 0)", "Replication.get_HasFiles()",
                                              "Replication.get_HasDestinations()", "Replication.Replicate(object)"})));
}

TEST_F(VessikOperations, ReplicationWithoutSourceOrFiles) {
  PutFilesInPlace();
  EnableReplication();
  // A channel that does not replicate gives no source: null is passed on.
  EXPECT_EQ(1, ZRReplicateVessik(7, 5001));
  EXPECT_THAT(Journal(), Contains("Replication.Replicate(null)"));
  ChangeVessik(5001, R"({"files": []})");
  EXPECT_EQ(0, ZRReplicateVessik(7, 5001));
  EXPECT_THAT(Journal(), Not(Contains("Replicator.get_Replication()")));
}

// Every step of the replication that fails ends it with 0, and nothing after that step is asked.
TEST_F(VessikOperations, ReplicationEndsAtTheFirstFailingStep) {
  struct Case {
    const char* what;
    std::function<void()> spoil;
    const char* last_call;  // the last call made; nothing of the replication follows it
  } cases[] = {
      {"the source cannot be read", [&] { Fail("Channel.get_ReplicationSource"); }, "Channel[7].get_ReplicationSource()"},
      {"the file count cannot be read", [&] { Fail("VessikFiles.get_Count"); }, "VessikFiles[5001].get_Count()"},
      {"the replicator is not registered", [&] { Fail("ReplicatorClass.CreateInstance", REGDB_E_CLASSNOTREG); },
       "ReplicatorClass.CreateInstance()"},
      {"the working object cannot be had", [&] { Fail("Replicator.get_Replication"); }, "Replicator.get_Replication()"},
      {"attaching fails", [&] { Fail("Replication.Attach"); }, "Replication.Attach(object, 0)"},
      {"no files are present", [&] { RemoveFilesInPlace(); }, "Replication.get_HasFiles()"},
      {"the files flag cannot be read", [&] { Fail("Replication.get_HasFiles"); }, "Replication.get_HasFiles()"},
      {"no destinations", [&] { DisableReplication(); }, "Replication.get_HasDestinations()"},
      {"the destinations flag cannot be read", [&] { Fail("Replication.get_HasDestinations"); },
       "Replication.get_HasDestinations()"},
      {"replicating fails", [&] { Fail("Replication.Replicate"); }, "Replication.Replicate(object)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Load(ravlin_tests::ExampleFixture());
    PutFilesInPlace();
    EnableReplication();
    ChangeChannel(7, R"({"replicationSource": true})");
    c.spoil();
    ClearJournal();
    EXPECT_EQ(0, ZRReplicateVessik(7, 5001));
    std::vector<std::string> journal = Journal();
    ASSERT_FALSE(journal.empty());
    EXPECT_EQ(c.last_call, journal.back());
  }
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

TEST_F(VessikOperations, AuthenticationDeclinedByTheUserIsNotApproved) {
  Load(ExampleWith(R"("client": {)", R"("dialogs": {"ApprovalDialog": false}, "client": {)"));
  ChangeVessik(5001, R"({"authenticationState": 2})");
  int approved = 1;
  EXPECT_EQ(0, ZRAuthenticateVessik(Parent(), 7, 5001, &approved));
  EXPECT_EQ(0, approved);
  EXPECT_THAT(Journal(), Contains("ApprovalDialog.Show(" + ParentNumber() + ")"));
}

// A package of an older client has neither the file access nor the extras interface.
TEST_F(VessikOperations, APackageWithoutExtrasFailsEveryExtraOperation) {
  PutFilesInPlace();
  EnableReplication();
  ChangeVessik(5001, R"({"extras": false, "authenticationState": 2})");
  EXPECT_EQ(0, ZRRecordUserInteraction(7, 5001, 3));
  EXPECT_EQ(0, ZRAccessVessik(7, 5001, 10));
  EXPECT_EQ(0, ZRReplicateVessik(7, 5001));
  int approved = 1;
  EXPECT_EQ(0, ZRAuthenticateVessik(Parent(), 7, 5001, &approved));
  EXPECT_EQ(0, approved);
  // Each found the package and asked it nothing more.
  std::vector<std::string> expected;
  for (int i = 0; i < 4; ++i) expected = Then(expected, VessikPath());
  EXPECT_THAT(Journal(), testing::ElementsAreArray(expected));
  EXPECT_TRUE(testing_support::NoDialogFor("Zorvane", 300));
  // The plain interface still answers.
  EXPECT_EQ(1, ZRPlayVessik(7, 5001));
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

// The story id arrays of ZRDeleteStories and ZRMarkStoriesRead (kept here for want of a place in
// the story tests): an array whose elements cannot be written is never sent with zeros in it.
// SafeArrayAccessData is made to fail by patching Ravlin.dll's import of it, for the test's
// thread only.
class StoryIdArrays : public OperationsTest {};

using AccessDataFunction = HRESULT(WINAPI*)(SAFEARRAY*, void**);
AccessDataFunction original_access_data = nullptr;
DWORD failing_thread = 0;

HRESULT WINAPI FailingAccessData(SAFEARRAY* array, void** data) {
  if (::GetCurrentThreadId() == failing_thread) return E_UNEXPECTED;
  return original_access_data(array, data);
}

// Points one by-name import of a module at a replacement while it lives.
class ImportPatch {
 public:
  ImportPatch(const char* module, const char* library, const char* function, void* replacement) {
    auto* base = reinterpret_cast<BYTE*>(::GetModuleHandleA(module));
    if (!base) return;
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); entry->Name; ++entry) {
      if (::lstrcmpiA(reinterpret_cast<char*>(base + entry->Name), library) != 0) continue;
      auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->OriginalFirstThunk);
      auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
      for (; names->u1.AddressOfData; ++names, ++slots) {
        if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
        auto* named = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
        if (std::string(reinterpret_cast<char*>(named->Name)) != function) continue;
        slot_ = reinterpret_cast<void**>(&slots->u1.Function);
        original_ = *slot_;
        Write(replacement);
        return;
      }
    }
  }
  ~ImportPatch() {
    if (slot_) Write(original_);
  }
  ImportPatch(const ImportPatch&) = delete;
  ImportPatch& operator=(const ImportPatch&) = delete;
  void* original() const { return original_; }

 private:
  void Write(void* value) {
    DWORD protection = 0;
    if (!::VirtualProtect(slot_, sizeof(void*), PAGE_READWRITE, &protection)) return;
    *slot_ = value;
    ::VirtualProtect(slot_, sizeof(void*), protection, &protection);
  }
  void** slot_ = nullptr;
  void* original_ = nullptr;
};

TEST_F(StoryIdArrays, IdsThatCannotBeWrittenAreNotSent) {
  DATA_LIST ids(16);
  ids.Add(1001);
  ids.Add(1002);
  {
    ImportPatch patch("Ravlin.dll", "OLEAUT32.dll", "SafeArrayAccessData", reinterpret_cast<void*>(&FailingAccessData));
    ASSERT_TRUE(patch.original()) << "Ravlin.dll imports no SafeArrayAccessData";
    original_access_data = reinterpret_cast<AccessDataFunction>(patch.original());
    failing_thread = ::GetCurrentThreadId();
    EXPECT_EQ(0, ZRDeleteStories(7, ids));
    EXPECT_EQ(0, ZRMarkStoriesRead(7, ids, 1));
    failing_thread = 0;
  }
  EXPECT_THAT(Journal(), Not(Contains(HasSubstr("DeleteStories("))));
  EXPECT_THAT(Journal(), Not(Contains(HasSubstr("MarkStoriesRead("))));
  EXPECT_EQ(1, ZRMarkStoriesRead(7, ids, 1));
  EXPECT_THAT(Journal(), Contains("Channel[7].MarkStoriesRead([1001,1002], true)"));
}

}  // namespace
