// The replicator class and its working objects, which record what they are asked and copy
// nothing; and the replication source a replicating channel hands out. Only the package's
// files that are present in its directory count: the client keeps a package's file list
// after its cache has let the files go.
#include "objects.h"
#include "standin_object.h"

namespace standin {

namespace {

class Replication : public StandinObject<IZorvaneReplication> {
 public:
  explicit Replication(Client& client) : StandinObject(client, "Replication", "") {}

  STDMETHODIMP Attach(IZorvaneVessik* package, long flags) override {
    return Call("Attach", Arguments(package, flags), [&] {
      if (!package) throw Failure(E_INVALIDARG, "no package to attach");
      vessik_id_ = VessikIdOf(package);
      return S_OK;
    });
  }
  // Destinations exist while replication is enabled in the settings.
  STDMETHODIMP get_HasDestinations(VARIANT_BOOL* has) override {
    return Call("get_HasDestinations", "",
                [&] { return PutBool(has, client_.model().settings.replication || !destination_.empty()); });
  }
  STDMETHODIMP get_HasFiles(VARIANT_BOOL* has) override {
    return Call("get_HasFiles", "", [&] { return PutBool(has, !Files().empty()); });
  }
  STDMETHODIMP get_Destination(BSTR* path) override {
    return Call("get_Destination", "", [&] { return PutText(path, destination_); });
  }
  STDMETHODIMP put_Destination(BSTR path) override {
    return Call("put_Destination", Arguments(path), [&] {
      destination_ = TextOf(path);
      return S_OK;
    });
  }
  STDMETHODIMP Replicate(IDispatch* source, long* copied) override {
    return Call("Replicate", Arguments(source), [&] {
      if (vessik_id_ == 0) throw Failure(E_UNEXPECTED, "no package attached");
      return PutLong(copied, static_cast<long>(Files().size()));
    });
  }

 protected:
  void* FindOwn(REFIID iid) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IZorvaneReplication)
      return static_cast<IZorvaneReplication*>(this);
    return nullptr;
  }

 private:
  // The attached package's files that are there to be copied.
  std::vector<std::string> Files() {
    std::vector<std::string> present;
    const Vessik* vessik = vessik_id_ ? client_.model().FindVessik(vessik_id_) : nullptr;
    if (!vessik) return present;
    for (const std::string& file : vessik->files) {
      DWORD attributes = ::GetFileAttributesA(file.c_str());
      if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) present.push_back(file);
    }
    return present;
  }
  long vessik_id_ = 0;
  std::string destination_;
};

class Replicator : public StandinObject<IZorvaneReplicator> {
 public:
  explicit Replicator(Client& client) : StandinObject(client, "Replicator", "") {}

  STDMETHODIMP get_Replication(IZorvaneReplication** replication) override {
    return Call("get_Replication", "", [&] { return NewObject<Replication>(Out(replication), client_); });
  }

 protected:
  void* FindOwn(REFIID iid) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IZorvaneReplicator)
      return static_cast<IZorvaneReplicator*>(this);
    return nullptr;
  }
};

}  // namespace

HRESULT NewReplicator(Client& client, REFIID iid, void** out) {
  {
    // Each creation is journaled, and can be made to fail as a client without its replication
    // component would (the running server's class object is found whatever the registry says).
    comsupport::CriticalSectionGuard guard(client.lock());
    HRESULT hr = client.journal().Enter("ReplicatorClass", "", "CreateInstance", "");
    if (FAILED(hr)) return hr;
  }
  Replicator* replicator = new Replicator(client);
  HRESULT hr = replicator->QueryInterface(iid, out);
  replicator->Release();
  return hr;
}

HRESULT NewReplicationSource(Client& client, long channel_id, IDispatch** out) {
  IZorvaneDialog* source = nullptr;
  HRESULT hr = NewDialog(client, "ReplicationSource", "channel " + std::to_string(channel_id), &source);
  *out = source;
  return hr;
}

}  // namespace standin
