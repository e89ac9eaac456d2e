#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "comsupport/boundary.h"
#include "comsupport/bstr.h"
#include "comsupport/class_factory.h"
#include "comsupport/com_error.h"
#include "comsupport/com_ptr.h"
#include "comsupport/error_info.h"
#include "comsupport/inproc_server.h"

namespace {

using comsupport::ComBoundary;
using comsupport::ComError;
using comsupport::ComPtr;

TEST(Boundary, WhatIsThrownBecomesItsHresult) {
  EXPECT_EQ(S_OK, ComBoundary("test", [] {}));
  EXPECT_EQ(S_FALSE, ComBoundary("test", [] { return S_FALSE; }));
  EXPECT_EQ(E_ACCESSDENIED, ComBoundary("test", []() -> HRESULT { throw ComError(E_ACCESSDENIED, IID_IUnknown, "no"); }));
  EXPECT_EQ(E_OUTOFMEMORY, ComBoundary("test", []() -> HRESULT { throw std::bad_alloc(); }));
  EXPECT_EQ(E_FAIL, ComBoundary("test", []() -> HRESULT { throw std::runtime_error("broken"); }));
  EXPECT_EQ(E_FAIL, ComBoundary("test", []() -> HRESULT { throw 7; }));
  EXPECT_EQ(0, comsupport::Boundary("test", 0, []() -> int { throw std::logic_error("x"); }));
  EXPECT_EQ(1, comsupport::Boundary("test", 0, [] { return 1; }));
}

HRESULT CreateFailing(IUnknown*, REFIID, void**) { throw ComError(CLASS_E_NOTLICENSED, IID_IUnknown, ""); }
HRESULT CreateNothing(IUnknown*, REFIID, void** out) {
  *out = nullptr;
  return E_NOINTERFACE;
}

// {8B1F3C40-2D5E-4A6B-9C7D-0E1F2A3B4C5D}
const CLSID kServed = {0x8B1F3C40, 0x2D5E, 0x4A6B, {0x9C, 0x7D, 0x0E, 0x1F, 0x2A, 0x3B, 0x4C, 0x5D}};

TEST(InprocServer, ClassObjectsComeFromTheTableAndCreationFailuresKeepTheirCause) {
  comsupport::InprocServer server;
  server.classes = {{&kServed, &CreateFailing}};
  ComPtr<IClassFactory> factory;
  EXPECT_EQ(E_POINTER, comsupport::ServerGetClassObject(server, kServed, IID_IClassFactory, nullptr));
  EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE,
            comsupport::ServerGetClassObject(server, CLSID_NULL, IID_IClassFactory, factory.put_void()));
  EXPECT_FALSE(factory);
  ASSERT_EQ(S_OK, comsupport::ServerGetClassObject(server, kServed, IID_IClassFactory, factory.put_void()));
  ComPtr<IUnknown> object;
  EXPECT_EQ(CLASS_E_NOTLICENSED, factory->CreateInstance(nullptr, IID_IUnknown, object.put_void()))
      << "a failure thrown by the class keeps its HRESULT";
  ComPtr<IUnknown> outer = factory.As<IUnknown>();
  EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance(outer.get(), IID_IClassFactory, object.put_void()));
  EXPECT_EQ(S_FALSE, comsupport::ServerCanUnloadNow()) << "the factory counts as a live object";
  factory.reset();
  outer.reset();

  comsupport::FunctionClassFactory* plain = new comsupport::FunctionClassFactory(&CreateNothing);
  EXPECT_EQ(E_NOINTERFACE, plain->CreateInstance(nullptr, IID_IUnknown, object.put_void()));
  plain->Release();
}

TEST(ErrorInfo, ReportedErrorsCarryDescriptionInterfaceAndSource) {
  EXPECT_EQ(E_ACCESSDENIED, comsupport::ReportError(E_ACCESSDENIED, IID_IDispatch, "Not for this page", "Thing.1"));
  ComPtr<IErrorInfo> info;
  ASSERT_EQ(S_OK, ::GetErrorInfo(0, info.put()));
  comsupport::Bstr description;
  comsupport::Bstr source;
  GUID guid = GUID_NULL;
  info->GetDescription(description.put());
  info->GetSource(source.put());
  info->GetGUID(&guid);
  EXPECT_EQ("Not for this page", description.Ansi());
  EXPECT_EQ("Thing.1", source.Ansi());
  EXPECT_TRUE(IsEqualGUID(IID_IDispatch, guid));

  // A missing string resource still says which one it was.
  comsupport::ReportError(E_FAIL, IID_IUnknown, 61234u);
  ASSERT_EQ(S_OK, ::GetErrorInfo(0, info.put()));
  info->GetDescription(description.put());
  EXPECT_EQ("Error 61234", description.Ansi());

  EXPECT_EQ(S_OK, comsupport::ErrorInfoSupported(IID_IDispatch, {&IID_IUnknown, &IID_IDispatch}));
  EXPECT_EQ(S_FALSE, comsupport::ErrorInfoSupported(IID_IPersist, {&IID_IUnknown, &IID_IDispatch}));
}

}  // namespace
