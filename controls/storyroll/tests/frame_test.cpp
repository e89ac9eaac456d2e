// The shared control frame as a host meets it through Storyroll: misc status, class
// information, the property page, the about box and frozen events.
#include <future>

#include "storyroll_test_support.h"
#include "testing/dialog_driver.h"

namespace storyroll_tests {
namespace {

using testing::Contains;
using testing::Not;

const CLSID kStoryroll = {0x2744346F, 0xFC66, 0x11D1, {0x8F, 0x62, 0x00, 0x60, 0x97, 0x73, 0x42, 0x2E}};
const CLSID kPropertyPage = {0x27443470, 0xFC66, 0x11D1, {0x8F, 0x62, 0x00, 0x60, 0x97, 0x73, 0x42, 0x2E}};
const IID kEvents = {0x2744346E, 0xFC66, 0x11D1, {0x8F, 0x62, 0x00, 0x60, 0x97, 0x73, 0x42, 0x2E}};

class StoryrollFrame : public StoryrollTest {};

TEST_F(StoryrollFrame, TellsItsHostWhatKindOfControlItIs) {
  HostedStoryroll roll;
  EXPECT_EQ(131473u, roll.container().misc_status());
  auto info = comsupport::ComPtr<IUnknown>(roll.container().control()).As<IProvideClassInfo2>();
  ASSERT_TRUE(info);
  GUID source = {};
  EXPECT_EQ(S_OK, info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &source));
  EXPECT_TRUE(IsEqualGUID(kEvents, source));
  comsupport::ComPtr<ITypeInfo> coclass;
  ASSERT_EQ(S_OK, info->GetClassInfo(coclass.put()));
  TYPEATTR* attributes = nullptr;
  ASSERT_EQ(S_OK, coclass->GetTypeAttr(&attributes));
  EXPECT_TRUE(IsEqualGUID(kStoryroll, attributes->guid));
  EXPECT_EQ(TKIND_COCLASS, attributes->typekind);
  coclass->ReleaseTypeAttr(attributes);
}

TEST_F(StoryrollFrame, OffersOneEmptyGeneralPage) {
  HostedStoryroll roll;
  auto pages = comsupport::ComPtr<IUnknown>(roll.container().control()).As<ISpecifyPropertyPages>();
  ASSERT_TRUE(pages);
  CAUUID list = {};
  ASSERT_EQ(S_OK, pages->GetPages(&list));
  ASSERT_EQ(1u, list.cElems);
  EXPECT_TRUE(IsEqualGUID(kPropertyPage, list.pElems[0]));
  ::CoTaskMemFree(list.pElems);

  comsupport::ComPtr<IPropertyPage> page;
  ASSERT_EQ(S_OK, ::CoCreateInstance(kPropertyPage, nullptr, CLSCTX_INPROC_SERVER, IID_IPropertyPage, page.put_void()));
  PROPPAGEINFO info = {};
  info.cb = sizeof(info);
  ASSERT_EQ(S_OK, page->GetPageInfo(&info));
  EXPECT_EQ(L"General", std::wstring(info.pszTitle));
  EXPECT_GT(info.size.cx, 0);
  ::CoTaskMemFree(info.pszTitle);
  IUnknown* objects[] = {roll.container().control()};
  EXPECT_EQ(S_OK, page->SetObjects(1, objects));
  RECT place = {0, 0, 300, 120};
  EXPECT_EQ(S_OK, page->Activate(roll.container().host(), &place, TRUE));
  EXPECT_EQ(S_FALSE, page->IsPageDirty());
  EXPECT_EQ(S_OK, page->Apply());
  EXPECT_EQ(S_OK, page->Deactivate());
}

TEST_F(StoryrollFrame, TheAboutBoxNamesTheControl) {
  HostedStoryroll roll;
  auto about = std::async(std::launch::async, [] {
    return testing_support::AnswerDialog("About Storyroll Control", "OK", 10000);
  });
  roll.Call("AboutBox");
  auto answered = about.get();
  ASSERT_TRUE(answered);
  EXPECT_THAT(answered->contents.texts, Contains("Storyroll Control, Version 1.0"));
}

TEST_F(StoryrollFrame, FrozenEventsAreNotFired) {
  HostedStoryroll roll;
  auto control = comsupport::ComPtr<IUnknown>(roll.container().control()).As<IOleControl>();
  ASSERT_TRUE(control);
  roll.ClearEvents();
  control->FreezeEvents(TRUE);
  roll.SetChannel(30);
  EXPECT_THAT(roll.Events(), Not(Contains("3")));
  control->FreezeEvents(FALSE);
  roll.SetChannel(30);
  EXPECT_THAT(roll.Events(), Contains("3"));
}

}  // namespace
}  // namespace storyroll_tests
