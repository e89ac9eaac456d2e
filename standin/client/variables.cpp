// A channel's variables: the collection (by name or position) and each variable.
#include "json_value.h"
#include "objects.h"
#include "standin_object.h"

namespace standin {

namespace {

using comsupport::Variant;

// A by-reference copy of value in *out. The referenced memory comes from CoTaskMemAlloc: the
// marshaler frees it once the answer has been sent.
HRESULT PutByReference(VARIANT* out, const Variant& value) {
  ::VariantInit(Out(out));
  VARTYPE type = value.type();
  size_t size = ByReferenceSize(type);
  if (size == 0) throw Failure(E_UNEXPECTED, "a value of type " + std::to_string(type) + " is not held by reference");
  void* referenced = ::CoTaskMemAlloc(size);
  if (!referenced) return E_OUTOFMEMORY;
  // Every by-reference type's value starts the VARIANT's union.
  ::CopyMemory(referenced, &value.get()->lVal, size);
  out->vt = static_cast<VARTYPE>(VT_BYREF | type);
  out->byref = referenced;
  return S_OK;
}

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
      ChannelOf(client_, channel_id_).SetVariableByReference(text, false);
      return NewVariable(client_, channel_id_, text, variable);
    });
  }
  STDMETHODIMP Remove(VARIANT index) override {
    return Call("Remove", Arguments(index), [&] {
      std::string name = NameAt(index);
      Values().Remove(name);
      ChannelOf(client_, channel_id_).SetVariableByReference(name, false);
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
      Channel& channel = ChannelOf(client_, channel_id_);
      const Variant* found = channel.variables.Find(name_);
      if (!found) throw Failure(E_FAIL, "variable \"" + name_ + "\" was removed");
      return channel.VariableByReference(name_) ? PutByReference(value, *found) : PutVariant(value, *found);
    });
  }
  STDMETHODIMP put_Value(VARIANT value) override {
    return Call("put_Value", Arguments(value), [&] {
      Variant copy;
      HRESULT hr = ::VariantCopyInd(copy.get(), &value);
      if (FAILED(hr)) return hr;
      Channel& channel = ChannelOf(client_, channel_id_);
      channel.variables.Set(name_, copy);
      channel.SetVariableByReference(name_, false);
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
