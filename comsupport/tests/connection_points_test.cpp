#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "comsupport/com_object.h"
#include "comsupport/com_ptr.h"
#include "comsupport/connection_points.h"

namespace {

using comsupport::ComObject;
using comsupport::ComPtr;

// {5D0C1E01-7A2B-4C3D-9E4F-1A2B3C4D5E6F}: an event dispinterface of the test only.
const IID kEventsIid = {0x5D0C1E01, 0x7A2B, 0x4C3D, {0x9E, 0x4F, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E, 0x6F}};

class Source : public ComObject<comsupport::ConnectionPointContainerImpl<&kEventsIid, &IID_IPropertyNotifySink>> {
 public:
  using ConnectionPointContainerBase::FireEvent;
  using ConnectionPointContainerBase::NotifyPropertyChanged;

 protected:
  void* FindInterface(REFIID iid) override {
    if (iid == IID_IUnknown || iid == IID_IConnectionPointContainer) return static_cast<IConnectionPointContainer*>(this);
    return nullptr;
  }
};

// Records every event call; on_call runs inside the call.
class Sink : public ComObject<IDispatch, IPropertyNotifySink> {
 public:
  std::vector<std::string> calls;
  std::function<void()> on_call;

  STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                      UINT*) override {
    std::string call = std::to_string(id) + " lcid " + std::to_string(lcid) + " flags " + std::to_string(flags);
    for (UINT i = params->cArgs; i-- > 0;) {
      comsupport::Variant text;
      // "True" only for a VT_BOOL argument.
      ::VariantChangeType(text.get(), &params->rgvarg[i], VARIANT_ALPHABOOL, VT_BSTR);
      call += " " + comsupport::Bstr(text.get()->bstrVal).Ansi();
    }
    calls.push_back(call);
    if (on_call) on_call();
    return S_OK;
  }
  STDMETHODIMP OnChanged(DISPID id) override {
    calls.push_back("changed " + std::to_string(id));
    return S_OK;
  }
  STDMETHODIMP OnRequestEdit(DISPID) override { return S_OK; }

 protected:
  void* FindInterface(REFIID iid) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == kEventsIid) return static_cast<IDispatch*>(this);
    if (iid == IID_IPropertyNotifySink) return static_cast<IPropertyNotifySink*>(this);
    return nullptr;
  }
};

struct Connected {
  ComPtr<Source> source = ComPtr<Source>::Attach(new Source());
  ComPtr<IConnectionPoint> point;
  Connected() {
    EXPECT_EQ(S_OK, source->FindConnectionPoint(kEventsIid, point.put()));
  }
  DWORD Advise(Sink* sink) {
    DWORD cookie = 0;
    EXPECT_EQ(S_OK, point->Advise(static_cast<IDispatch*>(sink), &cookie));
    EXPECT_NE(0u, cookie);
    return cookie;
  }
};

TEST(ConnectionPoints, EventReachesEverySinkWithItsArgumentsInDeclaredOrder) {
  Connected connected;
  ComPtr<Sink> first = ComPtr<Sink>::Attach(new Sink());
  ComPtr<Sink> second = ComPtr<Sink>::Attach(new Sink());
  connected.Advise(first.get());
  connected.Advise(second.get());
  connected.source->FireEvent(7, 42L, std::string("text"), true);
  const std::vector<std::string> expected = {"7 lcid 1024 flags 1 42 text True"};
  EXPECT_EQ(expected, first->calls);
  EXPECT_EQ(expected, second->calls);
}

TEST(ConnectionPoints, UnadviseEndsDeliveryAndUnknownCookiesAndSinksAreRefused) {
  Connected connected;
  ComPtr<Sink> sink = ComPtr<Sink>::Attach(new Sink());
  DWORD cookie = connected.Advise(sink.get());
  EXPECT_EQ(S_OK, connected.point->Unadvise(cookie));
  EXPECT_EQ(CONNECT_E_NOCONNECTION, connected.point->Unadvise(cookie));
  connected.source->FireEvent(1);
  EXPECT_TRUE(sink->calls.empty());

  // An object without the event interface cannot connect.
  ComPtr<Source> not_a_sink = ComPtr<Source>::Attach(new Source());
  DWORD refused = 99;
  EXPECT_EQ(CONNECT_E_CANNOTCONNECT,
            connected.point->Advise(static_cast<IConnectionPointContainer*>(not_a_sink.get()), &refused));
  EXPECT_EQ(0u, refused);
  ComPtr<IConnectionPoint> none;
  EXPECT_EQ(CONNECT_E_NOCONNECTION, connected.source->FindConnectionPoint(IID_IDispatch, none.put()));
}

TEST(ConnectionPoints, SinksMayUnadviseThemselvesOrOthersDuringAnEvent) {
  Connected connected;
  ComPtr<Sink> first = ComPtr<Sink>::Attach(new Sink());
  ComPtr<Sink> second = ComPtr<Sink>::Attach(new Sink());
  ComPtr<Sink> third = ComPtr<Sink>::Attach(new Sink());
  DWORD first_cookie = connected.Advise(first.get());
  connected.Advise(second.get());
  DWORD third_cookie = connected.Advise(third.get());
  // The first sink leaves and takes the third with it; the point holds the only references.
  first->on_call = [&] {
    connected.point->Unadvise(first_cookie);
    connected.point->Unadvise(third_cookie);
  };
  Sink* third_raw = third.get();
  third_raw->AddRef();
  third.reset();
  connected.source->FireEvent(3);
  EXPECT_EQ(1u, first->calls.size());
  EXPECT_EQ(1u, second->calls.size());
  EXPECT_TRUE(third_raw->calls.empty()) << "a sink unadvised before its turn is skipped";
  third_raw->Release();
  connected.source->FireEvent(4);
  EXPECT_EQ(1u, first->calls.size());
  EXPECT_EQ(2u, second->calls.size());
}

TEST(ConnectionPoints, SinkThatFaultsDoesNotStopTheOthers) {
  Connected connected;
  ComPtr<Sink> faulting = ComPtr<Sink>::Attach(new Sink());
  ComPtr<Sink> healthy = ComPtr<Sink>::Attach(new Sink());
  faulting->on_call = [] { ::RaiseException(EXCEPTION_ACCESS_VIOLATION, 0, 0, nullptr); };
  connected.Advise(faulting.get());
  connected.Advise(healthy.get());
  connected.source->FireEvent(5);
  connected.source->FireEvent(6);
  EXPECT_EQ(2u, healthy->calls.size());
}

TEST(ConnectionPoints, PropertyChangesGoToPropertyNotifySinks) {
  Connected connected;
  ComPtr<IConnectionPoint> notify;
  ASSERT_EQ(S_OK, connected.source->FindConnectionPoint(IID_IPropertyNotifySink, notify.put()));
  ComPtr<Sink> sink = ComPtr<Sink>::Attach(new Sink());
  DWORD cookie = 0;
  ASSERT_EQ(S_OK, notify->Advise(static_cast<IPropertyNotifySink*>(sink.get()), &cookie));
  connected.source->NotifyPropertyChanged(12);
  EXPECT_EQ(std::vector<std::string>{"changed 12"}, sink->calls);
}

TEST(ConnectionPoints, EnumeratorsOutliveTheirSourceAndHoldTheirSinks) {
  ComPtr<IEnumConnectionPoints> points;
  ComPtr<IEnumConnections> connections;
  ComPtr<Sink> sink = ComPtr<Sink>::Attach(new Sink());
  {
    Connected connected;
    DWORD cookie = connected.Advise(sink.get());
    ASSERT_EQ(S_OK, connected.source->EnumConnectionPoints(points.put()));
    ASSERT_EQ(S_OK, connected.point->EnumConnections(connections.put()));
    connected.point->Unadvise(cookie);
  }
  IConnectionPoint* fetched[3] = {};
  ULONG count = 0;
  EXPECT_EQ(S_FALSE, points->Next(3, fetched, &count));
  ASSERT_EQ(2u, count);
  IID iid = IID_NULL;
  fetched[0]->GetConnectionInterface(&iid);
  EXPECT_TRUE(IsEqualIID(kEventsIid, iid));
  fetched[0]->Release();
  fetched[1]->Release();

  CONNECTDATA data = {};
  ASSERT_EQ(S_OK, connections->Next(1, &data, nullptr));
  EXPECT_EQ(static_cast<IUnknown*>(static_cast<IDispatch*>(sink.get())), data.pUnk);
  data.pUnk->Release();
  ComPtr<IEnumConnections> clone;
  ASSERT_EQ(S_OK, connections->Clone(clone.put()));
  EXPECT_EQ(S_FALSE, clone->Next(1, &data, nullptr)) << "a clone starts where its original was";
  EXPECT_EQ(S_OK, clone->Reset());
  EXPECT_EQ(S_OK, clone->Skip(1));
}

}  // namespace
