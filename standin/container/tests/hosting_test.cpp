#include <gtest/gtest.h>

#include "comsupport/bstr.h"
#include "container_test_support.h"

namespace {

using comsupport::ComPtr;
using comsupport::Variant;
using standin::ControlContainer;
using Strings = std::vector<std::string>;

HRESULT GetAmbient(IDispatch* site, DISPID id, Variant* value) {
  DISPPARAMS none = {};
  return site->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, value->put(), nullptr, nullptr);
}

TEST_F(ContainerTest, AmbientsAreServedAndAChangeIsAnnounced) {
  ControlContainer container;
  ASSERT_EQ(S_OK, container.Create(factory_.get()));
  auto ambients = ComPtr<IUnknown>(static_cast<IOleClientSite*>(container.site())).As<IDispatch>();
  ASSERT_TRUE(ambients);

  Variant value;
  ASSERT_EQ(S_OK, GetAmbient(ambients.get(), DISPID_AMBIENT_USERMODE, &value));
  EXPECT_EQ(VT_BOOL, value.type());
  EXPECT_EQ(VARIANT_TRUE, value.get()->boolVal);
  ASSERT_EQ(S_OK, GetAmbient(ambients.get(), DISPID_AMBIENT_FONT, &value));
  ASSERT_EQ(VT_DISPATCH, value.type());
  ComPtr<IFontDisp> font = ComPtr<IDispatch>(value.get()->pdispVal).As<IFontDisp>();
  EXPECT_TRUE(font);
  ASSERT_EQ(S_OK, GetAmbient(ambients.get(), DISPID_AMBIENT_LOCALEID, &value));
  EXPECT_EQ(static_cast<long>(::GetUserDefaultLCID()), value.get()->lVal);
  EXPECT_EQ(DISP_E_MEMBERNOTFOUND, GetAmbient(ambients.get(), DISPID_AMBIENT_PALETTE, &value));

  // Ambients are read-only for the control.
  Variant put_value(7L);
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS put = {put_value.get(), &named, 1, 1};
  EXPECT_EQ(DISP_E_MEMBERNOTFOUND, ambients->Invoke(DISPID_AMBIENT_BACKCOLOR, IID_NULL, 0, DISPATCH_PROPERTYPUT,
                                                    &put, nullptr, nullptr, nullptr));

  RecordingControl::calls.clear();
  ASSERT_EQ(S_OK, container.SetAmbient(DISPID_AMBIENT_BACKCOLOR, Variant(0x0000FFL)));
  EXPECT_EQ(Calls(), (Strings{"OnAmbientPropertyChange -701", "BackColor 255"}));
  container.site()->RemoveAmbient(DISPID_AMBIENT_BACKCOLOR);
  ASSERT_EQ(S_OK, container.SetAmbient(DISPID_UNKNOWN, Variant()));
  EXPECT_EQ("BackColor none", Calls().back());
}

TEST_F(ContainerTest, ActivatesInPlaceInsideTheHostAndFollowsResizes) {
  ControlContainer container(400, 300);
  ASSERT_EQ(S_OK, container.Create(factory_.get()));
  EXPECT_EQ(nullptr, container.ControlWindow());
  ASSERT_EQ(S_OK, container.Activate());
  EXPECT_TRUE(container.site()->in_place_active());
  HWND window = container.ControlWindow();
  ASSERT_NE(nullptr, window);
  EXPECT_EQ(container.host(), ::GetParent(window));

  RECT position = {10, 20, 110, 70};
  ASSERT_EQ(S_OK, container.Resize(position));
  RECT placed;
  ASSERT_TRUE(::GetWindowRect(window, &placed));
  ::MapWindowPoints(nullptr, container.host(), reinterpret_cast<POINT*>(&placed), 2);
  EXPECT_EQ(10, placed.left);
  EXPECT_EQ(20, placed.top);
  EXPECT_EQ(100, placed.right - placed.left);
  EXPECT_EQ(50, placed.bottom - placed.top);
  // 100 by 50 pixels in HIMETRIC at the screen's resolution.
  SIZEL extent = {};
  ComPtr<IUnknown>(container.control()).As<IOleObject>()->GetExtent(DVASPECT_CONTENT, &extent);
  EXPECT_NEAR(100 * 2540 / 96, extent.cx, 2540 / 96 * 2 + 1);
  EXPECT_NEAR(50 * 2540 / 96, extent.cy, 2540 / 96 * 2 + 1);
}

TEST_F(ContainerTest, EventsAreJournaledAndCancelIsAnswered) {
  ControlContainer container;
  ASSERT_EQ(S_OK, container.Create(factory_.get()));
  ASSERT_EQ(S_OK, container.Advise());
  auto control = Control(container);
  ASSERT_EQ(S_OK, control->put_Caption(comsupport::Bstr(std::string("Go")).get()));
  ASSERT_EQ(S_OK, control->put_Count(3));

  container.events()->AnswerByReference(1, true);
  VARIANT_BOOL done = VARIANT_TRUE;
  ASSERT_EQ(S_OK, control->Act(&done));
  EXPECT_EQ(VARIANT_FALSE, done);
  container.events()->AnswerByReference(1, false);
  ASSERT_EQ(S_OK, control->Act(&done));
  EXPECT_EQ(VARIANT_TRUE, done);

  EXPECT_EQ(container.events()->journal(), (Strings{"changed 1", "changed 2", "1 Go 3 True", "1 Go 3 False"}));
  EXPECT_EQ(Calls().back(), "Act done");
}

TEST_F(ContainerTest, EventsOfAControlWithoutClassInfo2AreFoundInItsCoclass) {
  RecordingControl::offers_class_info2 = false;
  ControlContainer container;
  ASSERT_EQ(S_OK, container.Create(factory_.get()));
  ASSERT_FALSE(ComPtr<IUnknown>(container.control()).As<IProvideClassInfo2>());
  ASSERT_EQ(S_OK, container.Advise());
  VARIANT_BOOL done = VARIANT_FALSE;
  ASSERT_EQ(S_OK, Control(container)->Act(&done));
  EXPECT_EQ(container.events()->journal(), (Strings{"1  0 False"}));
}

TEST_F(ContainerTest, TearsDownInAHostsOrderAndReleasesTheControl) {
  {
    ControlContainer container;
    ASSERT_EQ(S_OK, container.Create(factory_.get()));
    ASSERT_EQ(S_OK, container.Activate());
    ASSERT_EQ(S_OK, container.Advise());
    HWND window = container.ControlWindow();
    RecordingControl::calls.clear();
    container.Teardown();
    // Unadvised before deactivation: no sink is left when the control deactivates.
    EXPECT_EQ(Calls(), (Strings{"InPlaceDeactivate sinks 0", "Close 1", "SetClientSite(null)"}));
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_FALSE(container.site()->in_place_active());
    EXPECT_EQ(1, DestroyedSinceSetUp());
  }
  // A container that goes away with its control still hosted tears it down too.
  {
    ControlContainer container;
    ASSERT_EQ(S_OK, container.Create(factory_.get()));
    ASSERT_EQ(S_OK, container.Activate());
    ASSERT_EQ(S_OK, container.Advise());
  }
  EXPECT_EQ(2, DestroyedSinceSetUp());
}

}  // namespace
