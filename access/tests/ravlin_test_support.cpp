#include "ravlin_test_support.h"

#include <cstdio>
#include <map>
#include <mutex>
#include <sstream>

#include "comsupport/bstr.h"
#include "testing/process.h"
#include "testing/temp_dir.h"

namespace ravlin_tests {

namespace {

std::mutex notes_lock;
std::map<Recorder, std::vector<std::string>> notes;
std::vector<Recorder> call_order;

const char* KindName(ZRNOTIFICATION_TYPES kind) {
  switch (kind) {
    case ZRNOTIFY_CLIENT_SHUTDOWN: return "CLIENT_SHUTDOWN";
    case ZRNOTIFY_CHANNEL_ADDED: return "CHANNEL_ADDED";
    case ZRNOTIFY_CHANNEL_DELETED: return "CHANNEL_DELETED";
    case ZRNOTIFY_CHANNEL_LOGO_CHANGED: return "CHANNEL_LOGO_CHANGED";
    case ZRNOTIFY_STORIES_ADDED: return "STORIES_ADDED";
    case ZRNOTIFY_STORIES_DELETED: return "STORIES_DELETED";
    case ZRNOTIFY_STORY_READ: return "STORY_READ";
    case ZRNOTIFY_STORY_UNREAD: return "STORY_UNREAD";
    case ZRNOTIFY_DIRECTORY_ENTRY_ADDED: return "DIRECTORY_ENTRY_ADDED";
    case ZRNOTIFY_DIRECTORY_ENTRY_DELETED: return "DIRECTORY_ENTRY_DELETED";
    case ZRNOTIFY_DIRECTORY_ENTRY_CHANGED: return "DIRECTORY_ENTRY_CHANGED";
    case ZRNOTIFY_CHANNEL_CONTENT_CHANGED: return "CHANNEL_CONTENT_CHANGED";
    case ZRNOTIFY_STORY_DOWNLOADED: return "STORY_DOWNLOADED";
    case ZRNOTIFY_CHANNEL_CATEGORY_CHANGED: return "CHANNEL_CATEGORY_CHANGED";
    case ZRNOTIFY_STORY_KEPT: return "STORY_KEPT";
    case ZRNOTIFY_STORY_UNKEPT: return "STORY_UNKEPT";
    case ZRNOTIFY_CHANNEL_STATE_CHANGED: return "CHANNEL_STATE_CHANGED";
    case ZRNOTIFY_DIRECTORY_ENTRY_SUBSCRIBED: return "DIRECTORY_ENTRY_SUBSCRIBED";
    case ZRNOTIFY_DIRECTORY_ENTRY_UNSUBSCRIBED: return "DIRECTORY_ENTRY_UNSUBSCRIBED";
    case ZRNOTIFY_CHANNEL_ACTIVE_CHANGED: return "CHANNEL_ACTIVE_CHANGED";
    case ZRNOTIFY_CHANNEL_FLAGS_CHANGED: return "CHANNEL_FLAGS_CHANGED";
    case ZRNOTIFY_DOWNLOAD_ENABLED_CHANGED: return "DOWNLOAD_ENABLED_CHANGED";
    case ZRNOTIFY_CHANNEL_NAME_CHANGED: return "CHANNEL_NAME_CHANGED";
    case ZRNOTIFY_STORY_COUNTER_CHANGED: return "STORY_COUNTER_CHANGED";
  }
  return "UNKNOWN";
}

void Note(Recorder recorder, ZRNOTIFICATION_TYPES kind, const char* name, DWORD id, const char* text2, DWORD vessik,
          DWORD story, DWORD list) {
  std::string text = NotificationText(kind, name, id, text2, vessik, story, list);
  std::lock_guard<std::mutex> guard(notes_lock);
  notes[recorder].push_back(text);
  call_order.push_back(recorder);
}

template <Recorder R>
void Record(ZRNOTIFICATION_TYPES kind, const char* name, DWORD id, const char* text2, DWORD vessik, DWORD story,
            DWORD list) {
  Note(R, kind, name, id, text2, vessik, story, list);
}

void Faulting(ZRNOTIFICATION_TYPES kind, const char* name, DWORD id, const char* text2, DWORD vessik, DWORD story,
              DWORD list) {
  Note(Recorder::First, kind, name, id, text2, vessik, story, list);
  ::RaiseException(0xE0524156, 0, 0, nullptr);
}

}  // namespace

namespace {

using comsupport::ComPtr;

class Pins {
 public:
  explicit Pins(std::vector<ComPtr<IUnknown>>& pins) : pins_(pins) {}
  template <class T>
  T* Hold(const ComPtr<T>& object) {
    if (object) pins_.push_back(object.template As<IUnknown>());
    return object.get();
  }
  template <class T>
  void HoldAs(IUnknown* object) {
    if (object) Hold(ComPtr<IUnknown>(object).As<T>());
  }
  // The first element of an enumeration, and the enumerator itself.
  ComPtr<IDispatch> First(const ComPtr<IUnknown>& unknown) {
    ComPtr<IEnumVARIANT> each = unknown ? unknown.As<IEnumVARIANT>() : ComPtr<IEnumVARIANT>();
    Hold(each);
    comsupport::Variant item;
    if (each && each->Next(1, item.put(), nullptr) == S_OK && item.type() == VT_DISPATCH)
      return ComPtr<IDispatch>(item.get()->pdispVal);
    return nullptr;
  }

 private:
  std::vector<ComPtr<IUnknown>>& pins_;
};

template <class T, class Get>
ComPtr<T> Get_(Get get) {
  ComPtr<T> object;
  if (FAILED(get(object.put()))) object.reset();
  return object;
}

void PinChannel(Pins& pins, IDispatch* item) {
  ComPtr<IZorvaneChannel> channel = ComPtr<IDispatch>(item).As<IZorvaneChannel>();
  if (!pins.Hold(channel)) return;
  pins.HoldAs<IZorvaneChannel2>(channel.get());
  pins.HoldAs<IZorvaneChannel4>(channel.get());
  pins.HoldAs<IZorvaneChannel4_2>(channel.get());
  ComPtr<IUnknown> unknown;
  if (auto* stories = pins.Hold(Get_<IZorvaneStoryCollection>([&](auto** out) { return channel->get_Stories(out); }))) {
    if (SUCCEEDED(stories->get__NewEnum(unknown.put()))) {
      if (ComPtr<IDispatch> first = pins.First(unknown)) {
        ComPtr<IZorvaneStory> story = first.As<IZorvaneStory>();
        if (pins.Hold(story)) {
          pins.HoldAs<IZorvaneStory2>(story.get());
          pins.Hold(Get_<IZorvaneStoryAttributeCollection>([&](auto** out) { return story->get_Attributes(out); }));
        }
      }
    }
  }
  if (auto* vessiks = pins.Hold(Get_<IZorvaneVessikCollection>([&](auto** out) { return channel->get_Vessiks(out); }))) {
    if (SUCCEEDED(vessiks->get__NewEnum(unknown.put()))) {
      if (ComPtr<IDispatch> first = pins.First(unknown)) {
        ComPtr<IZorvaneVessik3> vessik = first.As<IZorvaneVessik3>();
        if (pins.Hold(vessik)) {
          pins.HoldAs<IZorvaneVessik>(vessik.get());
          pins.HoldAs<IZorvaneVessik2>(vessik.get());
          pins.Hold(Get_<IZorvaneVessikFileCollection>([&](auto** out) { return vessik->get_Files(out); }));
          pins.Hold(Get_<IZorvaneDialog>([&](auto** out) { return vessik->get_ApprovalDialog(out); }));
        }
      }
    }
  }
  if (auto* variables = pins.Hold(
          Get_<IZorvaneChannelVariableCollection>([&](auto** out) { return channel->get_Variables(out); }))) {
    if (SUCCEEDED(variables->get__NewEnum(unknown.put()))) {
      if (ComPtr<IDispatch> first = pins.First(unknown)) pins.Hold(first.As<IZorvaneChannelVariable>());
    }
  }
}

}  // namespace

PinnedStandin::PinnedStandin(const std::string& fixture_json) : StandinClient(fixture_json) {
  Pins pins(pins_);
  ComPtr<IZorvane4> application = Application();
  if (!pins.Hold(application)) return;
  pins.HoldAs<IZorvane>(application.get());
  pins.HoldAs<IZorvane2>(application.get());
  pins.HoldAs<IZorvaneAlertSetup>(application.get());
  pins.HoldAs<IZorvaneFilterSetup>(application.get());
  ComPtr<IUnknown> unknown;
  if (auto* channels = pins.Hold(Get_<IZorvaneChannelCollection>([&](auto** out) { return application->get_Channels(out); }))) {
    pins.HoldAs<IZorvaneNewChannelDialog>(channels);
    if (SUCCEEDED(channels->get__NewEnum(unknown.put()))) {
      if (ComPtr<IDispatch> first = pins.First(unknown)) PinChannel(pins, first.get());
    }
  }
  pins.Hold(Get_<IZorvaneAllStoryCollection>([&](auto** out) { return application->get_AllStories(out); }));
  pins.Hold(Get_<IZorvaneAllVessikCollection>([&](auto** out) { return application->get_AllVessiks(out); }));
  if (auto* directory = pins.Hold(Get_<IZorvaneDirectory>([&](auto** out) { return application->get_ChannelDirectory(out); }))) {
    if (auto* entries = pins.Hold(Get_<IZorvaneDirectoryEntryCollection>([&](auto** out) { return directory->get_Entries(out); }))) {
      if (SUCCEEDED(entries->get__NewEnum(unknown.put()))) {
        if (ComPtr<IDispatch> first = pins.First(unknown)) pins.Hold(first.As<IZorvaneDirectoryEntry>());
      }
    }
  }
  if (auto* setup = pins.Hold(Get_<IZorvaneSetup>([&](auto** out) { return application->get_Setup(out); }))) {
    pins.HoldAs<IZorvaneReplicationSettings>(setup);
    pins.Hold(Get_<IZorvaneGeneralSettings>([&](auto** out) { return setup->get_General(out); }));
    ComPtr<IZorvaneSetupDialogs> dialogs = ComPtr<IZorvaneSetup>(setup).As<IZorvaneSetupDialogs>();
    if (pins.Hold(dialogs)) pins.Hold(Get_<IZorvaneDialog>([&](auto** out) { return dialogs->get_AlertsDialog(out); }));
  }
  pins.Hold(Get_<IZorvanePlayer>([&](auto** out) { return application->get_Player(out); }));
  pins.Hold(Get_<IZorvaneCommunications>([&](auto** out) { return application->get_Communications(out); }));
  ComPtr<IZorvaneReplicator> replicator;
  if (SUCCEEDED(::CoCreateInstance(CLSID_ZorvaneReplicator, nullptr, CLSCTX_LOCAL_SERVER, IID_IZorvaneReplicator,
                                   replicator.put_void())) &&
      pins.Hold(replicator))
    pins.Hold(Get_<IZorvaneReplication>([&](auto** out) { return replicator->get_Replication(out); }));
  ClearJournal();
}

PinnedStandin::~PinnedStandin() { Unpin(); }

std::string ExampleFixture() {
  return testing_support::ReadFile(testing_support::BuildOutput("standin-example.json"));
}

std::vector<std::string> JournalLines(const testing_support::StandinClient& standin) {
  std::vector<std::string> lines;
  std::istringstream text(standin.Journal());
  for (std::string line; std::getline(text, line);) {
    if (line != "Application.get_Name()") lines.push_back(line);
  }
  return lines;
}

HWND LibraryWindow() {
  HWND window = ::FindWindowA("RAVLIN_WINDOW", "Ravlin");
  DWORD process = 0;
  if (window) ::GetWindowThreadProcessId(window, &process);
  return process == ::GetCurrentProcessId() ? window : nullptr;
}

bool WaitForNoLibraryWindow(DWORD timeout_ms) {
  DWORD began = ::GetTickCount();
  while (LibraryWindow()) {
    if (::GetTickCount() - began > timeout_ms) return false;
    ::Sleep(50);
  }
  return true;
}

std::string NotificationText(ZRNOTIFICATION_TYPES kind, const char* name, DWORD id, const char* text2, DWORD vessik,
                             DWORD story, DWORD list) {
  std::string text = KindName(kind);
  if (id) text += " id=" + std::to_string(id);
  if (name) text += " name=\"" + std::string(name) + "\"";
  if (text2) text += " text2=\"" + std::string(text2) + "\"";
  if (vessik) text += " vessik=" + std::to_string(vessik);
  if (story) text += " story=" + std::to_string(story);
  if (list) {
    const DATA_LIST* ids = reinterpret_cast<const DATA_LIST*>(list);
    text += " list=[";
    for (long i = 0; i < ids->GetCount(); ++i) text += (i ? "," : "") + std::to_string(ids->GetAt(i));
    text += "]";
  }
  return text;
}

std::vector<std::string> TakeNotes(Recorder recorder) {
  std::lock_guard<std::mutex> guard(notes_lock);
  std::vector<std::string> taken;
  taken.swap(notes[recorder]);
  return taken;
}

void ClearNotes() {
  std::lock_guard<std::mutex> guard(notes_lock);
  notes.clear();
  call_order.clear();
}

std::vector<Recorder> TakeCallOrder() {
  std::lock_guard<std::mutex> guard(notes_lock);
  std::vector<Recorder> taken;
  taken.swap(call_order);
  return taken;
}

std::vector<std::string> WaitForNotes(Recorder recorder, size_t count, DWORD timeout_ms) {
  DWORD began = ::GetTickCount();
  for (;;) {
    {
      std::lock_guard<std::mutex> guard(notes_lock);
      if (notes[recorder].size() >= count || ::GetTickCount() - began > timeout_ms) {
        std::vector<std::string> taken;
        taken.swap(notes[recorder]);
        return taken;
      }
    }
    // The calling thread may own windows the library waits on.
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&message);
    ::Sleep(20);
  }
}

ZRNOTIFICATION_CALLBACK RecordingCallback(Recorder recorder) {
  switch (recorder) {
    case Recorder::First: return Record<Recorder::First>;
    case Recorder::Second: return Record<Recorder::Second>;
    case Recorder::Third: return Record<Recorder::Third>;
  }
  return nullptr;
}

ZRNOTIFICATION_CALLBACK FaultingCallback() { return Faulting; }

}  // namespace ravlin_tests

#include "operations_fixture.h"

namespace ravlin_tests {

PinnedStandin* OperationsTest::standin_ = nullptr;
StartedLibrary* OperationsTest::library_ = nullptr;

}  // namespace ravlin_tests
