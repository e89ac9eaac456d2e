// Which operations travel to the library thread: the dialog operations are posted to its
// hidden window, every other one runs in the calling thread. A hook on the library thread
// counts the commands it takes from its queue.
#include "operations_fixture.h"

#include <functional>

namespace {

using ravlin_tests::LibraryWindow;
using ravlin_tests::OperationsTest;

class CommandModes : public OperationsTest {
 protected:
  void SetUp() override {
    OperationsTest::SetUp();
    subscribe_ = ::RegisterWindowMessageA("RAVLIN_SUBSCRIBE");
    taken_ = 0;
    DWORD library_thread = ::GetWindowThreadProcessId(LibraryWindow(), nullptr);
    ASSERT_NE(0u, library_thread);
    hook_ = ::SetWindowsHookExA(WH_GETMESSAGE, Taken, nullptr, library_thread);
    ASSERT_TRUE(hook_) << ::GetLastError();
  }
  void TearDown() override {
    if (hook_) ::UnhookWindowsHookEx(hook_);
  }

  // How many commands the library thread took while the operation ran.
  static long CommandsPostedBy(const std::function<void()>& operation) {
    long before = taken_;
    operation();
    return taken_ - before;
  }

 private:
  static LRESULT CALLBACK Taken(int code, WPARAM removal, LPARAM message) {
    const MSG* taken = reinterpret_cast<const MSG*>(message);
    if (code == HC_ACTION && removal == PM_REMOVE && taken->message == subscribe_) ::InterlockedIncrement(&taken_);
    return ::CallNextHookEx(nullptr, code, removal, message);
  }

  HHOOK hook_ = nullptr;
  static inline UINT subscribe_ = 0;
  static inline volatile LONG taken_ = 0;
};

struct Operation {
  const char* name;
  std::function<void()> call;
};

TEST_F(CommandModes, DialogOperationsRunOnTheLibraryThread) {
  HWND parent = Parent();
  int approved = 0;
  // Ids the client does not know: nothing opens, the command still travels.
  const Operation dialogs[] = {
      {"ZRSubscribeToChannel", [&] { ZRSubscribeToChannel(parent, 9999); }},
      {"ZRUnsubscribeToChannel", [&] { ZRUnsubscribeToChannel(parent, 9999); }},
      {"ZRShowChannelSettings", [&] { ZRShowChannelSettings(parent, 9999); }},
      {"ZRShowChannelPropertiesDialog", [&] { ZRShowChannelPropertiesDialog(parent, 9999); }},
      {"ZRGlobalOptions", [&] { ZRGlobalOptions(parent); }},
      {"ZRAlertSettings", [&] { ZRAlertSettings(parent); }},
      {"ZRFilterSettings", [&] { ZRFilterSettings(parent); }},
      {"ZRQuickSetupOptions", [&] { ZRQuickSetupOptions(parent); }},
      {"ZRNewChannel", [&] { ZRNewChannel(parent); }},
      {"ZRUnsubscribeToSubscribedChannel", [&] { ZRUnsubscribeToSubscribedChannel(parent, 9999); }},
      {"ZRShowVessikProperties", [&] { ZRShowVessikProperties(parent, 9999, 1); }},
      {"ZRAuthenticateVessik", [&] { ZRAuthenticateVessik(parent, 9999, 1, &approved); }},
  };
  for (const Operation& operation : dialogs) EXPECT_EQ(1, CommandsPostedBy(operation.call)) << operation.name;
}

TEST_F(CommandModes, EveryOtherOperationRunsInTheCallingThread) {
  DWORD number = 0;
  int flag = 0;
  unsigned long count = 0;
  unsigned short major = 0, minor = 0;
  ESecurityMode mode;
  ESecurityFlags flags;
  QMBuffer text;
  DATA_LIST ids(16);
  ids.Add(1001);
  const auto release = [](auto* object) {
    if (object) object->Release();
  };
  const Operation calls[] = {
      {"ZRLookupSubscribedChannelID", [&] { ZRLookupSubscribedChannelID(301, &number); }},
      {"ZRPimboBuildDirectoryEntryList",
       [&] {
         DATA_LIST entries(16);
         ZRPimboBuildDirectoryEntryList(&entries);
         for (long i = 0; i < entries.GetCount(); ++i) delete reinterpret_cast<CSiteObj*>(entries.GetAt(i));
       }},
      {"ZRPlayStory", [&] { ZRPlayStory(7, 1001, Parent()); }},
      {"ZREnumerateChannels", [&] { release(ZREnumerateChannels()); }},
      {"ZRGetChannelInfoFromDir", [&] { release(ZRGetChannelInfoFromDir(301)); }},
      {"ZRGetChannelInfo", [&] { release(ZRGetChannelInfo(7)); }},
      {"ZRSetChannelCategories", [&] { ZRSetChannelCategories(7, "News"); }},
      {"ZRGetChannelSecuritySettings", [&] { ZRGetChannelSecuritySettings(7, &mode, &flags); }},
      {"ZRReadChannelData", [&] { release(ZRReadChannelData(7)); }},
      {"ZRMarkStoryRead", [&] { ZRMarkStoryRead(7, 1001, static_cast<EStoryReadFlags>(0)); }},
      {"ZRMarkStoryUnread", [&] { ZRMarkStoryUnread(7, 1001); }},
      {"ZRKeepStory", [&] { ZRKeepStory(7, 5001, 1001, 1); }},
      {"ZRDownloadStory", [&] { ZRDownloadStory(7, 1001); }},
      {"ZRForceChannelConnection", [&] { ZRForceChannelConnection(7); }},
      {"ZRShellURL", [&] { ZRShellURL("http://kelvane.example/"); }},
      {"ZRGetChannelLogoFile", [&] { ZRGetChannelLogoFile(7, text); }},
      {"ZRGetChannelResourceFile", [&] { ZRGetChannelResourceFile(7, "logo", text); }},
      {"ZRGetAutoplayEnabled", [&] { ZRGetAutoplayEnabled(&flag); }},
      {"ZRSetDownloadEnabled", [&] { ZRSetDownloadEnabled(1); }},
      {"ZRGetWorkgroupRestrictions", [&] { ZRGetWorkgroupRestrictions(&count); }},
      {"ZRRecordUserInteraction", [&] { ZRRecordUserInteraction(7, 5001, 1); }},
      {"ZRGetChannelStatus", [&] { ZRGetChannelStatus(7, text); }},
      {"ZRMarkStoriesRead", [&] { ZRMarkStoriesRead(7, ids, 1); }},
      {"ZRGetProduct", [&] { ZRGetProduct(&major, &minor, &count); }},
      {"ZRGetWorkgroup", [&] { ZRGetWorkgroup(text); }},
      {"ZRShowChannelDirectory", [&] { ZRShowChannelDirectory(Parent()); }},
      {"ZRPlayVessik", [&] { ZRPlayVessik(7, 5001); }},
      {"ZRGetLastAnimationInfo", [&] { ZRGetLastAnimationInfo(&number, &number, &text); }},
      {"ZRIsAnimationPlaying", [&] { ZRIsAnimationPlaying(&flag); }},
      {"ZREnableChannel", [&] { ZREnableChannel(7, 1); }},
      {"ZRGetVessikSize", [&] { ZRGetVessikSize(7, 5001, &count); }},
      {"ZRLookupDirectoryEntryID", [&] { ZRLookupDirectoryEntryID(7, &number); }},
      {"ZRAccessVessik", [&] { ZRAccessVessik(7, 5001, 5); }},
      {"ZRReplicateVessik", [&] { ZRReplicateVessik(7, 5001); }},
      {"ZRGetReplicationEnabled", [&] { ZRGetReplicationEnabled(&flag); }},
      {"ZRDeleteStories", [&] { ZRDeleteStories(7, ids); }},
  };
  for (const Operation& operation : calls) EXPECT_EQ(0, CommandsPostedBy(operation.call)) << operation.name;
}

}  // namespace
