// A channel's variables: the collection (by name or position) and each variable.
#include "objects.h"
#include "standin_object.h"

namespace standin {

namespace {

using comsupport::Variant;

Channel& ChannelOf(Client& client, long channel_id) {
  Channel* channel = client.model().FindChannel(channel_id);
  if (!channel) throw Failure(E_FAIL, "channel " + std::to_string(channel_id) + " no longer exists");
  return *channel;
}

class VariableCollection : public StandinObject<IZorvaneChannelVariableCollection> {
 public:
  VariableCollection(Client& client, long channel_id)
      : StandinObject(client, "Variables", std::to_string(channel_id)), channel_id_(channel_id) {}

  STDMETHODIMP get_Count(long* count) override {
    return Call("get_Count", "", [&] { return PutLong(count, static_cast<long>(Values().items().size())); });
  }
  STDMETHODIMP get_Item(VARIANT index, IZorvaneChannelVariable** variable) override {
    return Call("get_Item", Arguments(index), [&] {
      *Out(variable) = nullptr;
      return NewVariable(client_, channel_id_, NameAt(index), variable);
    });
  }
  STDMETHODIMP get__NewEnum(IUnknown** enumerator) override {
    return Call("get__NewEnum", "", [&] {
      std::vector<Variant> items;
      for (const auto& item : Values().items()) {
        IZorvaneChannelVariable* variable = nullptr;
        HRESULT hr = NewVariable(client_, channel_id_, item.first, &variable);
        if (FAILED(hr)) return hr;
        items.push_back(DispatchVariant(variable));
      }
      return NewEnumerator(std::move(items), Out(enumerator));
    });
  }
  STDMETHODIMP Commit() override {
    return Call("Commit", "", [&] {
      Values();
      return S_OK;
    });
  }
  STDMETHODIMP Add(BSTR name, VARIANT value, IZorvaneChannelVariable** variable) override {
    return Call("Add", Arguments(name, value), [&] {
      *Out(variable) = nullptr;
      std::string text = TextOf(name);
      if (text.empty()) throw Failure(E_INVALIDARG, "a variable needs a name");
      Variant copy;
      HRESULT hr = ::VariantCopyInd(copy.get(), &value);
      if (FAILED(hr)) return hr;
      Values().Set(text, copy);
      return NewVariable(client_, channel_id_, text, variable);
    });
  }
  STDMETHODIMP Remove(VARIANT index) override {
    return Call("Remove", Arguments(index), [&] {
      Values().Remove(NameAt(index));
      return S_OK;
    });
  }

 protected:
  void* FindOwn(REFIID iid) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IZorvaneChannelVariableCollection)
      return static_cast<IZorvaneChannelVariableCollection*>(this);
    return nullptr;
  }

 private:
  NamedValues& Values() { return ChannelOf(client_, channel_id_).variables; }
  std::string NameAt(const VARIANT& index) {
    const auto& items = Values().items();
    long position = 0;
    if (IndexNumber(index, &position)) {
      if (position < 0 || position >= static_cast<long>(items.size()))
        throw Failure(E_INVALIDARG, "no variable at " + std::to_string(position));
      return items[position].first;
    }
    std::string name = IndexText(index);
    if (!Values().Find(name)) throw Failure(E_INVALIDARG, "no variable \"" + name + "\"");
    return name;
  }

  long channel_id_;
};

class Variable : public StandinObject<IZorvaneChannelVariable> {
 public:
  Variable(Client& client, long channel_id, std::string name)
      : StandinObject(client, "Variable", std::to_string(channel_id) + ":" + name),
        channel_id_(channel_id),
        name_(std::move(name)) {}

  STDMETHODIMP get_Name(BSTR* name) override {
    return Call("get_Name", "", [&] { return PutText(name, name_); });
  }
  STDMETHODIMP get_Value(VARIANT* value) override {
    return Call("get_Value", "", [&] {
      const Variant* found = ChannelOf(client_, channel_id_).variables.Find(name_);
      if (!found) throw Failure(E_FAIL, "variable \"" + name_ + "\" was removed");
      return PutVariant(value, *found);
    });
  }
  STDMETHODIMP put_Value(VARIANT value) override {
    return Call("put_Value", Arguments(value), [&] {
      Variant copy;
      HRESULT hr = ::VariantCopyInd(copy.get(), &value);
      if (FAILED(hr)) return hr;
      ChannelOf(client_, channel_id_).variables.Set(name_, copy);
      return S_OK;
    });
  }

 protected:
  void* FindOwn(REFIID iid) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IZorvaneChannelVariable)
      return static_cast<IZorvaneChannelVariable*>(this);
    return nullptr;
  }

 private:
  long channel_id_;
  std::string name_;
};

}  // namespace

HRESULT NewVariableCollection(Client& client, long channel_id, IZorvaneChannelVariableCollection** out) {
  return NewObject<VariableCollection>(out, client, channel_id);
}

HRESULT NewVariable(Client& client, long channel_id, const std::string& name, IZorvaneChannelVariable** out) {
  return NewObject<Variable>(out, client, channel_id, name);
}

}  // namespace standin
