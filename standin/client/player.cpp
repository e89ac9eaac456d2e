// The player and the web access, answered from the fixture.
#include "objects.h"
#include "standin_object.h"

namespace standin {

namespace {

class PlayerObject : public StandinObject<IZorvanePlayer> {
 public:
  explicit PlayerObject(Client& client) : StandinObject(client, "Player", "") {}

  STDMETHODIMP PlayURL(BSTR url) override {
    return Call("PlayURL", Arguments(url), [&] {
      player().last_name = TextOf(url);
      player().can_replay = true;
      return S_OK;
    });
  }
  STDMETHODIMP GetLastPlayed(long* channel, long* vessik, BSTR* name) override {
    return Call("GetLastPlayed", "", [&] {
      *Out(channel) = player().last_channel;
      *Out(vessik) = player().last_vessik;
      return PutText(name, player().last_name);
    });
  }
  STDMETHODIMP AbortCurrentPlayer() override {
    return Call("AbortCurrentPlayer", "", [&] {
      player().playing = false;
      return S_OK;
    });
  }
  STDMETHODIMP RemoveWallpaper() override { return Call("RemoveWallpaper", "", [] { return S_OK; }); }
  STDMETHODIMP get_CanReplayLast(VARIANT_BOOL* can) override {
    return Call("get_CanReplayLast", "", [&] { return PutBool(can, player().can_replay); });
  }
  STDMETHODIMP ReplayLast() override { return Call("ReplayLast", "", [] { return S_OK; }); }
  STDMETHODIMP get_IsCurrentlyPlaying(VARIANT_BOOL* playing) override {
    return Call("get_IsCurrentlyPlaying", "", [&] { return PutBool(playing, player().playing); });
  }

 protected:
  void* FindOwn(REFIID iid) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IZorvanePlayer)
      return static_cast<IZorvanePlayer*>(this);
    return nullptr;
  }

 private:
  Player& player() { return client_.model().player; }
};

class CommunicationsObject : public StandinObject<IZorvaneCommunications> {
 public:
  explicit CommunicationsObject(Client& client) : StandinObject(client, "Communications", "") {}

  STDMETHODIMP HTTPGet(BSTR url, BSTR user, BSTR password, ECommunicationFlags flags, BSTR* reply,
                       ECommunicationErrors* error) override {
    return Call("HTTPGet", Arguments(url, user, password, flags),
                [&] { return Answer(client_.model().communications.get, url, reply, error); });
  }
  STDMETHODIMP HTTPPost(BSTR url, BSTR header, BSTR data, BSTR user, BSTR password, ECommunicationFlags flags,
                        BSTR* reply, ECommunicationErrors* error) override {
    return Call("HTTPPost", Arguments(url, header, data, user, password, flags),
                [&] { return Answer(client_.model().communications.post, url, reply, error); });
  }
  STDMETHODIMP FindInCache(BSTR url, long flags, BSTR* local_file) override {
    return Call("FindInCache", Arguments(url, flags), [&] {
      *Out(local_file) = nullptr;
      const auto& cache = client_.model().communications.cache;
      auto found = cache.find(TextOf(url));
      if (found == cache.end()) throw Failure(E_FAIL, "not in the cache: " + TextOf(url));
      return PutText(local_file, found->second);
    });
  }

 protected:
  void* FindOwn(REFIID iid) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IZorvaneCommunications)
      return static_cast<IZorvaneCommunications*>(this);
    return nullptr;
  }

 private:
  // A URL the fixture does not know cannot be reached.
  static HRESULT Answer(const std::map<std::string, HttpAnswer>& answers, BSTR url, BSTR* reply,
                        ECommunicationErrors* error) {
    *Out(reply) = nullptr;
    *Out(error) = COMM_ERROR_UNABLETOCONNECT;
    auto found = answers.find(TextOf(url));
    if (found == answers.end()) return S_FALSE;
    *error = static_cast<ECommunicationErrors>(found->second.error);
    if (FAILED(found->second.result)) return found->second.result;
    PutText(reply, found->second.reply);
    return found->second.result;
  }
};

}  // namespace

HRESULT NewPlayer(Client& client, IZorvanePlayer** out) { return NewObject<PlayerObject>(out, client); }
HRESULT NewCommunications(Client& client, IZorvaneCommunications** out) {
  return NewObject<CommunicationsObject>(out, client);
}

}  // namespace standin
