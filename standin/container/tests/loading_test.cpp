#include <gtest/gtest.h>

#include "comsupport/bstr.h"
#include "container_test_support.h"

namespace {

using comsupport::ComPtr;
using standin::ControlContainer;
using standin::Initialization;
using Strings = std::vector<std::string>;

// {3C7A1E43-5B2D-4F6E-9A1B-2C3D4E5F6A70} with no bits of registration behind it.
const char kControlClsid[] = "{3C7A1E43-5B2D-4F6E-9A1B-2C3D4E5F6A70}";

std::string Caption(ITestControl* control) {
  comsupport::Bstr caption;
  if (FAILED(control->get_Caption(caption.put()))) return "(failed)";
  return caption.Ansi();
}

long Count(ITestControl* control) {
  LONG count = -1;
  control->get_Count(&count);
  return count;
}

TEST_F(ContainerTest, SiteIsSetBeforeLoadingWhenTheControlAsksForIt) {
  RecordingControl::misc_status = OLEMISC_SETCLIENTSITEFIRST | OLEMISC_INSIDEOUT;
  ControlContainer container;
  ASSERT_EQ(S_OK, container.Create(factory_.get()));
  EXPECT_EQ(Calls(), (Strings{"GetMiscStatus 1", "SetClientSite", "BackColor 2147483653", "InitNew"}));
}

TEST_F(ContainerTest, SiteIsSetAfterLoadingOtherwise) {
  RecordingControl::misc_status = OLEMISC_INSIDEOUT | OLEMISC_ACTIVATEWHENVISIBLE;
  ControlContainer container;
  ASSERT_EQ(S_OK, container.Create(factory_.get(), Initialization::FromParams({{"Caption", "x"}})));
  EXPECT_EQ(Calls(), (Strings{"GetMiscStatus 1", "Load bag", "SetClientSite", "BackColor 2147483653"}));
}

TEST_F(ContainerTest, ParamValuesReachTheControlInTheTypeItAsks) {
  ControlContainer container;
  // Names are matched without regard to case, as PARAM names are.
  ASSERT_EQ(S_OK, container.Create(factory_.get(), Initialization::FromParams({{"caption", "Morning news"},
                                                                               {"COUNT", "42"}})));
  auto control = Control(container);
  ASSERT_TRUE(control);
  EXPECT_EQ("Morning news", Caption(control.get()));
  EXPECT_EQ(42, Count(control.get()));
  EXPECT_EQ(container.loaded_bag()->reads(), (Strings{"Caption", "Count"}));
}

TEST_F(ContainerTest, MissingOrUnconvertibleParamsLeaveTheDefaults) {
  ControlContainer container;
  ASSERT_EQ(S_OK, container.Create(factory_.get(), Initialization::FromParams({{"Count", "many"}})));
  auto control = Control(container);
  EXPECT_EQ("", Caption(control.get()));
  EXPECT_EQ(0, Count(control.get()));
  // Both were asked for, neither answered.
  EXPECT_EQ(container.loaded_bag()->reads(), (Strings{"Caption", "Count"}));

  ComPtr<standin::PropertyBag> bag = ComPtr<standin::PropertyBag>::Attach(new standin::PropertyBag(standin::PropertyList{{"Count", "many"}}));
  comsupport::Variant value;
  value.get()->vt = VT_I4;
  EXPECT_EQ(E_INVALIDARG, bag->Read(L"Missing", value.get(), nullptr));
  EXPECT_TRUE(FAILED(bag->Read(L"Count", value.get(), nullptr)));
}

TEST_F(ContainerTest, SavedPropertiesComeBackFromABagAndFromAStream) {
  ControlContainer first;
  ASSERT_EQ(S_OK, first.Create(factory_.get(), Initialization::FromParams({{"Caption", "Evening"}, {"Count", "7"}})));
  ASSERT_EQ(S_OK, Control(first)->put_Count(8));

  ComPtr<standin::PropertyBag> saved;
  ASSERT_EQ(S_OK, first.SaveToBag(&saved));
  EXPECT_EQ(saved->writes(), (Strings{"Caption=Evening", "Count=8"}));

  ComPtr<IStream> stream;
  ASSERT_EQ(S_OK, first.SaveToStream(&stream));
  first.Teardown();

  ControlContainer from_bag;
  ASSERT_EQ(S_OK, from_bag.Create(factory_.get(), Initialization::FromParams(saved->values())));
  EXPECT_EQ("Evening", Caption(Control(from_bag).get()));
  EXPECT_EQ(8, Count(Control(from_bag).get()));

  RecordingControl::calls.clear();
  ControlContainer from_stream;
  ASSERT_EQ(S_OK, from_stream.Create(factory_.get(), Initialization::FromStream(stream.get())));
  EXPECT_EQ("Evening", Caption(Control(from_stream).get()));
  EXPECT_EQ(8, Count(Control(from_stream).get()));
  EXPECT_EQ(Calls(), (Strings{"GetMiscStatus 1", "SetClientSite", "BackColor 2147483653", "Load stream"}));
}

TEST_F(ContainerTest, ATruncatedStreamFailsTheCreationAndReleasesTheControl) {
  ComPtr<IStream> stream;
  ASSERT_EQ(S_OK, ::CreateStreamOnHGlobal(nullptr, TRUE, stream.put()));
  DWORD length = 100;  // announces more than follows
  ASSERT_EQ(S_OK, stream->Write(&length, sizeof(length), nullptr));
  LARGE_INTEGER start = {};
  stream->Seek(start, STREAM_SEEK_SET, nullptr);
  ControlContainer container;
  EXPECT_TRUE(FAILED(container.Create(factory_.get(), Initialization::FromStream(stream.get()))));
  EXPECT_EQ(nullptr, container.control());
  EXPECT_EQ(1, DestroyedSinceSetUp());
  // The container can host again.
  EXPECT_EQ(S_OK, container.Create(factory_.get()));
}

TEST_F(ContainerTest, CreatesByClassIdThroughTheRegisteredClassObject) {
  DWORD registration = 0;
  ASSERT_EQ(S_OK, ::CoRegisterClassObject(CLSID_TestControl, factory_.get(), CLSCTX_INPROC_SERVER,
                                          REGCLS_MULTIPLEUSE, &registration));
  {
    ControlContainer container;
    EXPECT_EQ(S_OK, container.Create(kControlClsid));
    EXPECT_TRUE(Control(container));
    EXPECT_EQ(E_UNEXPECTED, container.Create(kControlClsid));
  }
  ::CoRevokeClassObject(registration);
  ControlContainer container;
  EXPECT_TRUE(FAILED(container.Create("Halvern.NoSuchControl.1")));
  EXPECT_TRUE(FAILED(container.Create("{not a class id}")));
  EXPECT_EQ(nullptr, container.control());
}

}  // namespace
