// The stand-in's own control object: model changes with their notifications (delivered before
// the call returns), Vessik delivery, failure injection, the journal and the shutdown.
#include "control.h"

#include <stdexcept>

#include "comsupport/com_object.h"
#include "comsupport/dispatch_impl.h"
#include "events.h"
#include "fixture.h"
#include "objects.h"
#include "standin_object.h"
#include "vessik_files.h"

namespace standin {

namespace {

class Control : public comsupport::ComObject<comsupport::DispatchImpl<IZorvaneStandinControl>, ISupportErrorInfo> {
 public:
  explicit Control(Client& client) : client_(client) {}

  STDMETHODIMP InterfaceSupportsErrorInfo(REFIID) override { return S_OK; }

  STDMETHODIMP LoadFixture(BSTR json) override {
    return Run([&] { client_.LoadFixture(TextOf(json)); });
  }
  STDMETHODIMP AddChannel(BSTR json) override {
    return Change([&](Model& model) {
      Json parsed = ParseJson(TextOf(json));
      Channel channel;
      ApplyChannel(parsed, channel, model.settings);
      if (channel.id == 0 || model.FindChannel(channel.id))
        throw std::runtime_error("a new channel needs a new id other than 0");
      model.channels.push_back(std::move(channel));
      QueueChannelEvent(client_, Change::Added, model.channels.back().id);
    });
  }
  STDMETHODIMP ChangeChannel(long channel_id, BSTR json, long events) override {
    return Change([&](Model& model) {
      ApplyChannel(ParseJson(TextOf(json)), ChannelOf(model, channel_id), model.settings);
      QueueChannelEvent(client_, Change::Changed, channel_id, events);
    });
  }
  STDMETHODIMP DeleteChannel(long channel_id) override {
    return Change([&](Model& model) {
      ChannelOf(model, channel_id);
      EraseIf(model.channels, [&](const Channel& channel) { return channel.id == channel_id; });
      QueueChannelEvent(client_, Change::Deleted, channel_id);
    });
  }
  STDMETHODIMP AddStories(long channel_id, BSTR json, long id_form) override {
    return Change([&](Model& model) {
      Channel& channel = ChannelOf(model, channel_id);
      std::vector<long> ids;
      for (const Json& story_json : ParseJson(TextOf(json))) {
        Story story;
        ApplyStory(story_json, story);
        if (story.id == 0 || channel.FindStory(story.id)) throw std::runtime_error("a new story needs a new id");
        ids.push_back(story.id);
        channel.stories.push_back(std::move(story));
      }
      ++channel.story_counter;
      QueueStoryEvent(client_, Change::Added, channel_id, ids, 0, static_cast<IdForm>(id_form));
    });
  }
  STDMETHODIMP ChangeStories(long channel_id, BSTR json, long events, long id_form) override {
    return Change([&](Model& model) {
      Channel& channel = ChannelOf(model, channel_id);
      std::vector<long> ids;
      for (const Json& story_json : ParseJson(TextOf(json))) {
        long id = story_json.value("id", 0L);
        Story* story = channel.FindStory(id);
        if (!story) throw std::runtime_error("no story " + std::to_string(id));
        ApplyStory(story_json, *story);
        ids.push_back(id);
      }
      QueueStoryEvent(client_, Change::Changed, channel_id, ids, events, static_cast<IdForm>(id_form));
    });
  }
  STDMETHODIMP DeleteStories(long channel_id, BSTR json, long id_form) override {
    return Change([&](Model& model) {
      Channel& channel = ChannelOf(model, channel_id);
      std::vector<long> ids = ParseJson(TextOf(json)).get<std::vector<long>>();
      for (long id : ids) {
        EraseIf(channel.stories, [&](const Story& story) { return story.id == id; });
      }
      ++channel.story_counter;
      QueueStoryEvent(client_, Change::Deleted, channel_id, ids, 0, static_cast<IdForm>(id_form));
    });
  }
  STDMETHODIMP AddEntry(BSTR json) override {
    return Change([&](Model& model) {
      DirectoryEntry entry;
      ApplyEntry(ParseJson(TextOf(json)), entry);
      if (model.FindEntry(entry.id)) throw std::runtime_error("entry " + std::to_string(entry.id) + " exists");
      model.entries.push_back(std::move(entry));
      QueueEntryEvent(client_, Change::Added, model.entries.back().id);
    });
  }
  STDMETHODIMP ChangeEntry(long entry_id, BSTR json, long events) override {
    return Change([&](Model& model) {
      DirectoryEntry* entry = model.FindEntry(entry_id);
      if (!entry) throw std::runtime_error("no entry " + std::to_string(entry_id));
      ApplyEntry(ParseJson(TextOf(json)), *entry);
      QueueEntryEvent(client_, Change::Changed, entry_id, events);
    });
  }
  STDMETHODIMP DeleteEntry(long entry_id) override {
    return Change([&](Model& model) {
      if (!model.FindEntry(entry_id)) throw std::runtime_error("no entry " + std::to_string(entry_id));
      EraseIf(model.entries, [&](const DirectoryEntry& entry) { return entry.id == entry_id; });
      QueueEntryEvent(client_, Change::Deleted, entry_id);
    });
  }
  STDMETHODIMP ChangeSettings(BSTR json, long events) override {
    return Change([&](Model& model) {
      ApplySettings(ParseJson(TextOf(json)), model.settings);
      QueueSetupEvent(client_, events);
    });
  }
  STDMETHODIMP DeliverVessik(BSTR json) override {
    return Change([&](Model& model) {
      Json parsed = ParseJson(TextOf(json));
      Vessik vessik;
      ApplyVessik(parsed, vessik, model.settings);
      if (vessik.id == 0 || model.FindVessik(vessik.id)) throw std::runtime_error("a new Vessik needs a new id");
      ChannelOf(model, vessik.channel);
      if (parsed.contains("files") && parsed.at("files").is_object()) WriteVessikFiles(vessik.directory, parsed.at("files"));
      if (!parsed.contains("size")) vessik.size = SizeOfFiles(vessik.files);
      model.vessiks.push_back(std::move(vessik));
      QueueVessikEvent(client_, Change::Added, model.vessiks.back().channel, model.vessiks.back().id);
    });
  }
  STDMETHODIMP ChangeVessik(long vessik_id, BSTR json, long events) override {
    return Change([&](Model& model) {
      Vessik* vessik = model.FindVessik(vessik_id);
      if (!vessik) throw std::runtime_error("no Vessik " + std::to_string(vessik_id));
      ApplyVessik(ParseJson(TextOf(json)), *vessik, model.settings);
      QueueVessikEvent(client_, Change::Changed, vessik->channel, vessik_id, events);
    });
  }
  STDMETHODIMP DeleteVessik(long vessik_id) override {
    return Change([&](Model& model) {
      Vessik* vessik = model.FindVessik(vessik_id);
      if (!vessik) throw std::runtime_error("no Vessik " + std::to_string(vessik_id));
      long channel = vessik->channel;
      EraseIf(model.vessiks, [&](const Vessik& present) { return present.id == vessik_id; });
      QueueVessikEvent(client_, Change::Deleted, channel, vessik_id);
    });
  }
  STDMETHODIMP FailMember(BSTR member, long hr, long times) override {
    return Change([&](Model&) { client_.journal().Fail(TextOf(member), hr, times); });
  }
  STDMETHODIMP ClearFailures() override {
    return Change([&](Model&) { client_.journal().ClearFailures(); });
  }
  STDMETHODIMP get_Journal(BSTR* lines) override {
    return Change([&](Model&) { PutText(Out(lines), client_.journal().Lines()); });
  }
  STDMETHODIMP ClearJournal() override {
    return Change([&](Model&) { client_.journal().Clear(); });
  }
  STDMETHODIMP get_Extensions(BSTR* lines) override {
    return Change([&](Model&) {
      std::string text;
      for (const ExtensionRecord& record : client_.extensions()) {
        text += record.clsid + (SUCCEEDED(record.created) ? " created " : " not created ") +
                comsupport::HresultText(record.created) + " started " + comsupport::HresultText(record.started) + "\n";
      }
      PutText(Out(lines), text);
    });
  }
  STDMETHODIMP get_Handlers(BSTR* lines) override {
    return Change([&](Model&) { PutText(Out(lines), client_.notifier().Lines()); });
  }
  STDMETHODIMP Quit() override {
    return Run([&] { client_.BeginShutdown(); });
  }

 protected:
  HRESULT LoadTypeLibrary(ITypeLib** library) override { return client_.ControlTypeLibrary(library); }

  void* FindInterface(REFIID iid) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IZorvaneStandinControl)
      return static_cast<IZorvaneStandinControl*>(this);
    if (iid == IID_ISupportErrorInfo) return static_cast<ISupportErrorInfo*>(this);
    return nullptr;
  }

 private:
  static Channel& ChannelOf(Model& model, long channel_id) {
    Channel* channel = model.FindChannel(channel_id);
    if (!channel) throw std::runtime_error("no channel " + std::to_string(channel_id));
    return *channel;
  }

  template <class Body>
  HRESULT Run(Body body) {
    try {
      body();
      return S_OK;
    } catch (const Failure& failure) {
      return ReportError(failure.hr(), IID_IZorvaneStandinControl, failure.what());
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    } catch (const std::exception& error) {
      return ReportError(E_INVALIDARG, IID_IZorvaneStandinControl, error.what());
    }
  }
  // A change under the lock; its notifications reach every handler before the call returns.
  template <class Body>
  HRESULT Change(Body body) {
    HRESULT hr = Run([&] {
      comsupport::CriticalSectionGuard guard(client_.lock());
      body(client_.model());
    });
    if (SUCCEEDED(hr)) client_.DeliverQueued();
    return hr;
  }

  Client& client_;
};

}  // namespace

HRESULT NewControl(Client& client, REFIID iid, void** out) {
  Control* control = new Control(client);
  HRESULT hr = control->QueryInterface(iid, out);
  control->Release();
  return hr;
}

}  // namespace standin
