// The stand-in client seen from another process, as the suite's components see the client.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "comsupport/client_app_paths.h"
#include "comsupport/bstr.h"
#include "comsupport/com_ptr.h"
#include "event_recorder.h"
#include "json_value.h"
#include "testing/process.h"
#include "testing/registry.h"
#include "testing/machine_state.h"
#include "testing/standin_client.h"
#include "testing/temp_dir.h"

namespace {

using comsupport::Bstr;
using comsupport::ComPtr;
using comsupport::Variant;
using testing::ElementsAre;
using testing::HasSubstr;
using testing::IsEmpty;
using testing_support::StandinClient;

std::string ExampleFixture() {
  return testing_support::ReadFile(testing_support::BuildOutput("standin-example.json"));
}

#define ASSERT_OK(call) ASSERT_EQ(S_OK, (call))

ComPtr<IZorvaneChannel> ChannelByIndex(IZorvane4* application, const Variant& index) {
  ComPtr<IZorvaneChannelCollection> channels;
  ComPtr<IZorvaneChannel> channel;
  if (SUCCEEDED(application->get_Channels(channels.put()))) channels->get_Item(*index.get(), channel.put());
  return channel;
}

// Dispatches this thread's messages (the handlers' calls) until done() or about 5 s.
template <class Done>
void PumpUntil(Done done) {
  for (int i = 0; i < 250 && !done(); ++i) {
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&message);
    ::Sleep(20);
  }
}

std::string Text(HRESULT hr, const Bstr& text) { return SUCCEEDED(hr) ? text.Ansi() : "failed"; }

TEST(StandinClient, AnswersTheFixtureToAnotherProcess) {
  StandinClient standin(ExampleFixture());
  ComPtr<IZorvane4> application = standin.Application();
  ASSERT_TRUE(application);

  ComPtr<IZorvaneChannelCollection> channels;
  ASSERT_OK(application->get_Channels(channels.put()));
  long count = 0;
  ASSERT_OK(channels->get_Count(&count));
  EXPECT_EQ(2, count);

  ComPtr<IZorvaneChannel> kelvane = ChannelByIndex(application.get(), Variant("n:Kelvane"));
  ASSERT_TRUE(kelvane);
  long id = 0, flags = 0, cache = 0;
  EXPECT_EQ(S_OK, kelvane->get_Id(&id));
  EXPECT_EQ(7, id);
  EXPECT_EQ(S_OK, kelvane->get_Flags(&flags));
  EXPECT_EQ(CHN_FLAG_NO_DEFAULT_SPACE, flags);
  EXPECT_EQ(S_OK, kelvane->get_CacheSize(&cache));
  EXPECT_EQ(40000000, cache);
  ComPtr<IZorvaneChannel> news = ChannelByIndex(application.get(), Variant(9L));
  ASSERT_TRUE(news);
  Bstr name;
  EXPECT_EQ("News", Text(news->get_Name(name.put()), name));
  EXPECT_FALSE(ChannelByIndex(application.get(), Variant("n:Nowhere")));
  EXPECT_FALSE(ChannelByIndex(application.get(), Variant("Kelvane")));  // names need the "n:"

  // Enumeration hands out every channel as an object.
  ComPtr<IUnknown> unknown;
  ASSERT_OK(channels->get__NewEnum(unknown.put()));
  ComPtr<IEnumVARIANT> each = unknown.As<IEnumVARIANT>();
  ASSERT_TRUE(each);
  std::vector<std::string> names;
  for (Variant item; each->Next(1, item.put(), nullptr) == S_OK;) {
    ASSERT_EQ(VT_DISPATCH, item.type());
    ComPtr<IZorvaneChannel> channel = ComPtr<IDispatch>(item.get()->pdispVal).As<IZorvaneChannel>();
    Bstr each_name;
    names.push_back(Text(channel->get_Name(each_name.put()), each_name));
  }
  EXPECT_THAT(names, ElementsAre("Kelvane", "News"));

  // Variables of any type, by name or position; written values read back.
  ComPtr<IZorvaneChannelVariableCollection> variables;
  ASSERT_OK(kelvane->get_Variables(variables.put()));
  ComPtr<IZorvaneChannelVariable> target;
  ASSERT_OK(variables->get_Item(*Variant("targetdirectory").get(), target.put()));
  Variant value;
  ASSERT_OK(target->get_Value(value.put()));
  ASSERT_EQ(VT_BSTR, value.type());
  EXPECT_EQ("C:\\Mendlets", Bstr(value.get()->bstrVal).Ansi());
  ComPtr<IZorvaneChannelVariable> mirror;
  ASSERT_OK(variables->get_Item(*Variant(1L).get(), mirror.put()));
  ASSERT_OK(mirror->get_Value(value.put()));
  EXPECT_EQ(VT_I4, value.type());
  EXPECT_EQ(1, value.get()->lVal);
  ASSERT_OK(target->put_Value(*Variant("D:\\Elsewhere").get()));
  ASSERT_OK(variables->Commit());
  ComPtr<IZorvaneChannelVariable> again;
  ASSERT_OK(variables->get_Item(*Variant("TargetDirectory").get(), again.put()));
  ASSERT_OK(again->get_Value(value.put()));
  EXPECT_EQ("D:\\Elsewhere", Bstr(value.get()->bstrVal).Ansi());
  ComPtr<IZorvaneChannelVariable> missing;
  EXPECT_EQ(E_INVALIDARG, variables->get_Item(*Variant("nothing").get(), missing.put()));
  ComPtr<IZorvaneChannelVariableCollection> news_variables;
  ASSERT_OK(news->get_Variables(news_variables.put()));
  ComPtr<IZorvaneChannelVariable> since;
  ASSERT_OK(news_variables->get_Item(*Variant("since").get(), since.put()));
  ASSERT_OK(since->get_Value(value.put()));
  EXPECT_EQ(VT_DATE, value.type());
  EXPECT_DOUBLE_EQ(36526.0, value.get()->date);

  // Stories with their fields and attributes, and the Vessik behind one.
  ComPtr<IZorvaneStoryCollection> stories;
  ASSERT_OK(kelvane->get_Stories(stories.put()));
  ComPtr<IZorvaneStory> story;
  ASSERT_OK(stories->get_Item(*Variant(1001L).get(), story.put()));
  Bstr title;
  EXPECT_EQ("Display driver 2.1", Text(story->get_Title(title.put()), title));
  ASSERT_OK(story->get_Field(Bstr(std::string("Text")).get(), value.put()));
  EXPECT_EQ("New display driver", Bstr(value.get()->bstrVal).Ansi());
  ASSERT_OK(story->get_Field(Bstr(std::string("Absent")).get(), value.put()));
  EXPECT_EQ(VT_EMPTY, value.type());
  ComPtr<IZorvaneVessik> vessik;
  ASSERT_OK(story->get_Vessik(vessik.put()));
  ASSERT_TRUE(vessik);
  long size = 0;
  ASSERT_OK(vessik->get_Size(&size));
  EXPECT_EQ(9000000, size);
  Bstr directory;
  ASSERT_OK(vessik->get_Directory(directory.put()));
  EXPECT_THAT(directory.Ansi(), testing::EndsWith("\\data\\Vessiks\\5001\\"));
  ComPtr<IZorvaneVessikFileCollection> files;
  ASSERT_OK(vessik.As<IZorvaneVessik3>()->get_Files(files.put()));
  long file_count = 0;
  ASSERT_OK(files->get_Count(&file_count));
  EXPECT_EQ(3, file_count);
  Bstr first_file;
  ASSERT_OK(files->get_Item(*Variant(0L).get(), first_file.put()));
  EXPECT_EQ(directory.Ansi() + "MyMendlet.dat", first_file.Ansi());

  // The story data array: info, fields and attributes in parallel arrays.
  ComPtr<IZorvaneChannel4> kelvane4 = kelvane.As<IZorvaneChannel4>();
  ASSERT_TRUE(kelvane4);
  Variant data;
  ASSERT_OK(kelvane4->EnumStoryData(STORY_ENUM_FLAG_ALLSTORIES, STORY_ENUM_FORMAT_ARRAY, data.put()));
  ASSERT_EQ(VT_ARRAY | VT_VARIANT, data.type());
  std::vector<Variant> parts = standin::ElementsOf(*data.get());
  ASSERT_EQ(3u, parts.size());
  std::vector<Variant> info = standin::ElementsOf(*parts[0].get());
  ASSERT_EQ(2u, info.size());
  EXPECT_THAT(standin::StringsOf(*info[0].get()), ElementsAre("Format", "Scroller Field"));
  std::vector<Variant> fields = standin::ElementsOf(*parts[1].get());
  ASSERT_EQ(3u, fields.size());
  EXPECT_THAT(standin::LongsOf(*fields[0].get()), ElementsAre(1001, 1001, 1001, 1001, 1001, 1002, 1002));
  EXPECT_THAT(standin::StringsOf(*fields[1].get()),
              ElementsAre("Title", "Vessik Id", "Text", "URL", "Story Time", "Title", "Text"));
  std::vector<Variant> attributes = standin::ElementsOf(*parts[2].get());
  EXPECT_THAT(standin::StringsOf(*attributes[1].get()), ElementsAre("Read", "Keep", "Read"));

  // Channel properties: codes in bit order with their values.
  ASSERT_OK(kelvane4->EnumProperties(CHN_PROP_ID | CHN_PROP_NAME | CHN_PROP_UNREAD_STORIES, CHN_PROP_FORMAT_ARRAY,
                                     data.put()));
  parts = standin::ElementsOf(*data.get());
  ASSERT_EQ(2u, parts.size());
  EXPECT_THAT(standin::LongsOf(*parts[0].get()), ElementsAre(CHN_PROP_ID, CHN_PROP_NAME, CHN_PROP_UNREAD_STORIES));
  EXPECT_THAT(standin::StringsOf(*parts[1].get()), ElementsAre("7", "Kelvane", "1"));

  // The directory: ids of subscribed entries, properties of all.
  ComPtr<IZorvaneDirectory> channel_directory;
  ASSERT_OK(application->get_ChannelDirectory(channel_directory.put()));
  ASSERT_OK(channel_directory->EnumEntries(DIR_ENUM_SUBSCRIBED, DIR_ENUM_FORMAT_ID_ARRAY, data.put()));
  EXPECT_EQ(VT_ARRAY | VT_I4, data.type());
  EXPECT_THAT(standin::LongsOf(*data.get()), ElementsAre(301));
  ASSERT_OK(channel_directory->EnumEntries(DIR_ENUM_ALL, DIR_ENUM_FORMAT_PROPERTY_ARRAY, data.put()));
  std::vector<Variant> entries = standin::ElementsOf(*data.get());
  ASSERT_EQ(2u, entries.size());
  std::vector<Variant> weather = standin::ElementsOf(*entries[1].get());
  EXPECT_THAT(standin::LongsOf(*weather[0].get()), ElementsAre(0, 1, 4, 7, 8, 9));
  ComPtr<IZorvaneDirectoryEntry> entry;
  ComPtr<IZorvaneDirectoryEntryCollection> all_entries;
  ASSERT_OK(channel_directory->get_Entries(all_entries.put()));
  ASSERT_OK(all_entries->get_Item(*Variant(302L).get(), entry.put()));
  Bstr entry_name;
  EXPECT_EQ("Weather", Text(entry->get_Name(entry_name.put()), entry_name));

  // The web access answers from the fixture; unknown places cannot be reached.
  ComPtr<IZorvaneCommunications> communications;
  ASSERT_OK(application->get_Communications(communications.put()));
  Bstr reply;
  ECommunicationErrors error = COMM_ERROR_UNKNOWN;
  EXPECT_EQ(S_OK, communications->HTTPGet(Bstr(std::string("http://kelvane.example/ping")).get(), nullptr, nullptr,
                                          COMM_FLAG_NONE, reply.put(), &error));
  EXPECT_EQ("pong", reply.Ansi());
  EXPECT_EQ(COMM_SUCCESS, error);
  EXPECT_NE(S_OK, communications->HTTPGet(Bstr(std::string("http://elsewhere/")).get(), nullptr, nullptr,
                                          COMM_FLAG_NONE, reply.put(), &error));
  Bstr local;
  EXPECT_EQ(S_OK, communications->FindInCache(Bstr(std::string("kelvane.example/logo.bmp")).get(), 0, local.put()));
  EXPECT_EQ("C:\\cache\\logo.bmp", local.Ansi());
}

TEST(StandinClient, PlaysOlderPackagesByReferenceValuesAndDeclinedDialogs) {
  StandinClient standin(R"({"channels":[{"id":3,"name":"A","variables":{
      "small":{"vt":"VT_I2","value":-3,"byRef":true},"byte":{"vt":"VT_UI1","value":200,"byRef":true}}}],
      "vessiks":[{"id":4,"channel":3,"extras":false,"authenticationState":2},
                 {"id":5,"channel":3,"authenticationState":2}],
      "dialogs":{"ApprovalDialog":false}})");
  ComPtr<IZorvane4> application = standin.Application();
  ComPtr<IZorvaneChannel> channel = ChannelByIndex(application.get(), Variant(3L));
  ASSERT_TRUE(channel);

  // A by-reference value arrives by reference, its referenced value intact.
  ComPtr<IZorvaneChannelVariableCollection> variables;
  ASSERT_OK(channel->get_Variables(variables.put()));
  ComPtr<IZorvaneChannelVariable> small, byte;
  ASSERT_OK(variables->get_Item(*Variant("small").get(), small.put()));
  ASSERT_OK(variables->get_Item(*Variant("byte").get(), byte.put()));
  VARIANT value;
  ::VariantInit(&value);
  ASSERT_OK(small->get_Value(&value));
  ASSERT_EQ(VT_BYREF | VT_I2, value.vt);
  ASSERT_TRUE(value.piVal);
  EXPECT_EQ(-3, *value.piVal);
  ::CoTaskMemFree(value.byref);
  ::VariantInit(&value);
  ASSERT_OK(byte->get_Value(&value));
  ASSERT_EQ(VT_BYREF | VT_UI1, value.vt);
  EXPECT_EQ(200, *value.pbVal);
  ::CoTaskMemFree(value.byref);
  // Written, it is a plain value.
  ASSERT_OK(small->put_Value(*Variant(7L).get()));
  Variant written;
  ASSERT_OK(small->get_Value(written.put()));
  EXPECT_EQ(VT_I4, written.type());

  // An older package answers IZorvaneVessik alone.
  ComPtr<IZorvaneVessikCollection> vessiks;
  ASSERT_OK(channel->get_Vessiks(vessiks.put()));
  ComPtr<IZorvaneVessik> older, newer;
  ASSERT_OK(vessiks->get_Item(*Variant(4L).get(), older.put()));
  ASSERT_OK(vessiks->get_Item(*Variant(5L).get(), newer.put()));
  EXPECT_FALSE(older.As<IZorvaneVessik2>());
  EXPECT_FALSE(older.As<IZorvaneVessik3>());
  long size = -1;
  EXPECT_EQ(S_OK, older->get_Size(&size));
  ComPtr<IZorvaneVessik3> extras = newer.As<IZorvaneVessik3>();
  ASSERT_TRUE(extras);

  // The user declines the approval dialog; other dialogs are still accepted.
  ComPtr<IZorvaneDialog> approval;
  ASSERT_OK(extras->get_ApprovalDialog(approval.put()));
  VARIANT_BOOL accepted = VARIANT_TRUE;
  ASSERT_OK(approval->Show(0, &accepted));
  EXPECT_EQ(VARIANT_FALSE, accepted);
  ComPtr<IZorvaneSetup> setup;
  ASSERT_OK(application->get_Setup(setup.put()));
  ComPtr<IZorvaneSetupDialogs> dialogs = setup.As<IZorvaneSetupDialogs>();
  ASSERT_TRUE(dialogs);
  ComPtr<IZorvaneDialog> alerts;
  ASSERT_OK(dialogs->get_AlertsDialog(alerts.put()));
  ASSERT_OK(alerts->Show(0, &accepted));
  EXPECT_EQ(VARIANT_TRUE, accepted);
}

// Registers one recorder on every source, with the masks given.
struct Registrations {
  ComPtr<IZorvaneSetup> setup;
  ComPtr<IZorvaneChannelCollection> channels;
  ComPtr<IZorvaneAllStoryCollection> stories;
  ComPtr<IZorvaneDirectoryEntryCollection> entries;
  ComPtr<IZorvaneAllVessikCollection> vessiks;
  long handles[6] = {};
};

// line: the caller's, named in every failure.
void RegisterEverywhere(IZorvane4* application, IUnknown* recorder, long mask, Registrations& r,
                        int line = __builtin_LINE()) {
  SCOPED_TRACE("registered from line " + std::to_string(line));
  ComPtr<IZorvaneDirectory> directory;
  ASSERT_OK(application->get_Setup(r.setup.put()));
  ASSERT_OK(application->get_Channels(r.channels.put()));
  ASSERT_OK(application->get_AllStories(r.stories.put()));
  ASSERT_OK(application->get_ChannelDirectory(directory.put()));
  ASSERT_OK(directory->get_Entries(r.entries.put()));
  ASSERT_OK(application->get_AllVessiks(r.vessiks.put()));
  ASSERT_OK(application->RegisterNotificationHandler(ZORVANE_EVENT_SHUTDOWN, recorder, &r.handles[0]));
  ASSERT_OK(r.setup->RegisterNotificationHandler(mask, recorder, &r.handles[1]));
  ASSERT_OK(r.channels->RegisterNotificationHandler(mask, recorder, &r.handles[2]));
  ASSERT_OK(r.stories->RegisterNotificationHandler(mask, recorder, &r.handles[3]));
  ASSERT_OK(r.entries->RegisterNotificationHandler(mask, recorder, &r.handles[4]));
  ASSERT_OK(r.vessiks->RegisterNotificationHandler(mask, recorder, &r.handles[5]));
}

TEST(StandinClient, CallsEachHandlerThroughItsSourceWithinItsMask) {
  StandinClient standin(ExampleFixture());
  ComPtr<IZorvane4> application = standin.Application();
  ComPtr<standin_tests::EventRecorder> recorder = ComPtr<standin_tests::EventRecorder>::Attach(new standin_tests::EventRecorder());
  Registrations registrations;
  // Name, marked-as-read and the exact subscribed bit only.
  RegisterEverywhere(application.get(), static_cast<IChannelNotificationHandler*>(recorder.get()),
                     CHN_EVENT_NAME | STORY_EVENT_MARKED_AS_READ | DIR_EVENT_SUBSCRIBED, registrations);
  IZorvaneStandinControl* control = standin.control();

  ASSERT_OK(control->ChangeChannel(7, Bstr(std::string("{\"name\":\"Kelvane2\"}")).get(), CHN_EVENT_NAME));
  ASSERT_OK(control->ChangeChannel(7, Bstr(std::string("{\"flags\":0}")).get(), CHN_EVENT_FLAGS));
  ASSERT_OK(control->AddChannel(Bstr(std::string("{\"id\":12,\"name\":\"Fresh\"}")).get()));
  ASSERT_OK(control->DeleteChannel(9));
  EXPECT_THAT(recorder->TakeEvents(),
              ElementsAre("channel changed Kelvane2 0x00000001", "channel added Fresh", "channel deleted 9"));

  ASSERT_OK(control->AddStories(7, Bstr(std::string("[{\"id\":1003,\"title\":\"a\"}]")).get(), 0));
  ASSERT_OK(control->AddStories(7, Bstr(std::string("[{\"id\":1004},{\"id\":1005}]")).get(), 2));
  ASSERT_OK(control->ChangeStories(7, Bstr(std::string("[{\"id\":1003}]")).get(), STORY_EVENT_MARKED_AS_READ, 1));
  ASSERT_OK(control->ChangeStories(7, Bstr(std::string("[{\"id\":1003}]")).get(), STORY_EVENT_KEPT, 0));
  ASSERT_OK(control->DeleteStories(7, Bstr(std::string("[1004,1005]")).get(), 3));
  EXPECT_THAT(recorder->TakeEvents(),
              ElementsAre("stories added 7 1003", "stories added 7 &[1004,1005]",
                          "stories changed 7 [1003] 0x00000001", "stories deleted 7 v[1004,1005]"));

  ASSERT_OK(control->ChangeEntry(302, Bstr(std::string("{}")).get(), DIR_EVENT_SUBSCRIBED));
  ASSERT_OK(control->ChangeEntry(302, Bstr(std::string("{}")).get(), DIR_EVENT_UNSUBSCRIBED));
  ASSERT_OK(control->AddEntry(Bstr(std::string("{\"id\":303,\"name\":\"Sports\"}")).get()));
  ASSERT_OK(control->ChangeSettings(Bstr(std::string("{\"autoplay\":false}")).get(), SETUP_EVENT_AUTOPLAY_ENABLED));
  ASSERT_OK(control->ChangeSettings(Bstr(std::string("{}")).get(), CHN_EVENT_NAME));
  EXPECT_THAT(recorder->TakeEvents(),
              ElementsAre("entry changed 302 0x04000000", "entry added 303", "setup 0x00000001"));

  // A delivered package's files are in its directory before the handler hears of it.
  ASSERT_OK(control->DeliverVessik(
      Bstr(std::string("{\"id\":5002,\"channel\":7,\"files\":{\"MyMendlet.dat\":\"a.txt\\r\\n\",\"sub\\\\a.txt\":\"A\"}}"))
          .get()));
  std::vector<std::string> delivered = recorder->TakeEvents();
  ASSERT_EQ(1u, delivered.size());
  std::string directory = delivered[0].substr(std::string("new vessik 5002 ").size());
  EXPECT_THAT(delivered[0], HasSubstr("new vessik 5002 "));
  EXPECT_EQ("a.txt\r\n", testing_support::ReadFile(directory + "MyMendlet.dat"));
  EXPECT_EQ("A", testing_support::ReadFile(directory + "sub\\a.txt"));
  EXPECT_EQ(E_INVALIDARG, control->DeliverVessik(
                              Bstr(std::string("{\"id\":5003,\"channel\":7,\"files\":{\"..\\\\out.txt\":\"x\"}}")).get()));

  // Changes made through the client's own members are told as well.
  ComPtr<IZorvaneChannel> kelvane = ChannelByIndex(application.get(), Variant(7L));
  ComPtr<IZorvaneStoryCollection> stories;
  ComPtr<IZorvaneStory> story;
  ASSERT_OK(kelvane->get_Stories(stories.put()));
  ASSERT_OK(stories->get_Item(*Variant(1001L).get(), story.put()));
  ASSERT_OK(story->MarkAsRead());
  ASSERT_OK(story.As<IZorvaneStory2>()->MarkAsReadEx(STORY_READ_NO_EVENT));
  // The stand-in tells them once the call has returned.
  std::vector<std::string> marked;
  PumpUntil([&] {
    for (std::string& event : recorder->TakeEvents()) marked.push_back(std::move(event));
    return !marked.empty();
  });
  EXPECT_THAT(marked, ElementsAre("stories changed 7 1001 0x00000001"));

  // Revoked handlers hear nothing more; an unknown handle is refused.
  ASSERT_OK(registrations.channels->RevokeNotificationHandler(registrations.handles[2]));
  EXPECT_EQ(E_INVALIDARG, registrations.channels->RevokeNotificationHandler(registrations.handles[2]));
  ASSERT_OK(registrations.stories->RevokeNotificationHandler(registrations.handles[3]));
  ASSERT_OK(control->ChangeChannel(7, Bstr(std::string("{}")).get(), CHN_EVENT_NAME));
  ASSERT_OK(control->AddStories(7, Bstr(std::string("[{\"id\":1006}]")).get(), 0));
  EXPECT_THAT(recorder->TakeEvents(), IsEmpty());

  // The shutdown reaches application handlers, then the stand-in ends.
  ASSERT_OK(control->Quit());
  PumpUntil([&] { return standin.process().Wait(0); });
  EXPECT_THAT(recorder->TakeEvents(), ElementsAre("shutdown"));
  EXPECT_TRUE(standin.process().Wait(0));
}

TEST(StandinClient, HandlerWithoutTheSourcesInterfaceIsRefused) {
  StandinClient standin(ExampleFixture());
  ComPtr<IZorvane4> application = standin.Application();
  ComPtr<IZorvaneSetup> setup;
  ASSERT_OK(application->get_Setup(setup.put()));
  long handle = 0;
  // The setup object itself is no handler of anything.
  EXPECT_EQ(E_NOINTERFACE, application->RegisterNotificationHandler(ZORVANE_EVENT_SHUTDOWN, setup.get(), &handle));
}

TEST(StandinClient, InjectedFailuresComeBackAndTheJournalListsEveryCall) {
  StandinClient standin(ExampleFixture());
  ComPtr<IZorvane4> application = standin.Application();
  standin.ClearJournal();
  ASSERT_OK(standin.control()->FailMember(Bstr(std::string("Channel.get_Variables")).get(), E_ACCESSDENIED, 0));
  ASSERT_OK(standin.control()->FailMember(Bstr(std::string("Channel[9].get_Name")).get(), 0x80070005L + 1, 1));

  ComPtr<IZorvaneChannel> kelvane = ChannelByIndex(application.get(), Variant("n:Kelvane"));
  ComPtr<IZorvaneChannelVariableCollection> variables;
  EXPECT_EQ(E_ACCESSDENIED, kelvane->get_Variables(variables.put()));

  ComPtr<IZorvaneChannel> news = ChannelByIndex(application.get(), Variant(9L));
  Bstr name;
  EXPECT_EQ(static_cast<HRESULT>(0x80070006L), news->get_Name(name.put()));
  EXPECT_EQ(S_OK, news->get_Name(name.put()));  // that failure was for one call only

  EXPECT_EQ("Application.get_Channels()\n"
            "Channels.get_Item(\"n:Kelvane\")\n"
            "Channel[7].get_Variables()\n"
            "Application.get_Channels()\n"
            "Channels.get_Item(9)\n"
            "Channel[9].get_Name()\n"
            "Channel[9].get_Name()\n",
            standin.Journal());
  ASSERT_OK(standin.control()->ClearFailures());
  EXPECT_EQ(S_OK, kelvane->get_Variables(variables.put()));
}

TEST(StandinClient, RefusesABrokenFixtureAtStart) {
  try {
    StandinClient standin("{\"channels\":[{\"id\":0}]}");
    ADD_FAILURE() << "a channel with id 0 was accepted";
  } catch (const std::runtime_error& error) {
    EXPECT_THAT(error.what(), HasSubstr("ended at start with 2"));
  }
}

TEST(StandinClient, InstallsUnderARootLikeARealClient) {
  testing_support::TempDir root;
  const std::string app_paths = comsupport::kClientAppPathsKey;
  testing_support::RegistryRestore keep(HKEY_LOCAL_MACHINE, app_paths);
  std::string installed = testing_support::InstallStandin(root.path());
  EXPECT_EQ(installed, testing_support::ReadString(HKEY_LOCAL_MACHINE, app_paths).value_or("-"));
  EXPECT_EQ(root.path() + "\\program", testing_support::ReadString(HKEY_LOCAL_MACHINE, app_paths, "Path").value_or("-"));
  EXPECT_TRUE(testing_support::FileExists(root / "Halvern Extensions"));
  EXPECT_TRUE(testing_support::FileExists(root / "data"));
  EXPECT_EQ("{53FCF358-5323-11D0-A864-0000B43699FC}",
            testing_support::ReadString(HKEY_CLASSES_ROOT, "Zorvane\\CLSID").value_or("-"));

  {
    StandinClient standin("{}", installed);
    ComPtr<IZorvaneSetup> setup;
    ComPtr<IZorvaneGeneralSettings> general;
    ASSERT_OK(standin.Application()->get_Setup(setup.put()));
    ASSERT_OK(setup->get_General(general.put()));
    Bstr program, data;
    ASSERT_OK(general->get_ProgramDirectory(program.put()));
    ASSERT_OK(general->get_DataDirectory(data.put()));
    EXPECT_EQ(root.path() + "\\program\\", program.Ansi());
    EXPECT_EQ(root.path() + "\\data\\", data.Ansi());
  }

  EXPECT_EQ(0u, testing_support::RunProgram(testing_support::Quote(installed) + " /unregserver", 120000));
  EXPECT_FALSE(testing_support::KeyExists(HKEY_LOCAL_MACHINE, app_paths));
  EXPECT_FALSE(testing_support::KeyExists(HKEY_CLASSES_ROOT, "CLSID\\{53FCF358-5323-11D0-A864-0000B43699FC}"));
  // Later tests find the build's stand-in registered again.
  testing_support::RegisterStandin(testing_support::BuildOutput("ZorvaneStandin.exe"));
}

}  // namespace

namespace {

TEST(StandinClient, StartsRegisteredExtensionsAndTellsThemOfShutdown) {
  const std::string clsid = "{6A1D4B70-2C1E-4F55-9E0B-7D3A12C4E801}";
  testing_support::RegistryRestore keep_class(HKEY_CLASSES_ROOT, "CLSID\\" + clsid);
  testing_support::RegistryRestore keep_list(HKEY_CURRENT_USER, "Software\\Zorvane\\ClientExtensions");
  testing_support::WriteString(HKEY_CLASSES_ROOT, "CLSID\\" + clsid + "\\InprocServer32", "",
                               testing_support::BuildOutput("standin_test_extension.dll"));
  testing_support::WriteString(HKEY_CLASSES_ROOT, "CLSID\\" + clsid + "\\InprocServer32", "ThreadingModel",
                               "Apartment");
  testing_support::WriteString(HKEY_CURRENT_USER, "Software\\Zorvane\\ClientExtensions\\" + clsid, "",
                               "stand-in test extension");
  testing_support::TempDir logs;
  std::string log = logs / "extension.log";
  ::SetEnvironmentVariableA("HALVERN_TEST_EXTENSION_LOG", log.c_str());

  StandinClient standin(ExampleFixture());
  EXPECT_EQ(clsid + " created 0x00000000 started 0x80004005\n", standin.WaitForExtensions());
  EXPECT_THAT(standin.Journal(), HasSubstr("Application.RegisterNotificationHandler(1, object)\n"));
  EXPECT_TRUE(standin.Stop());
  ::SetEnvironmentVariableA("HALVERN_TEST_EXTENSION_LOG", nullptr);
  EXPECT_EQ("start 0 channels 2\nshutdown 0\n", testing_support::ReadFile(log));
}

}  // namespace
