#include <gtest/gtest.h>

#include "comsupport/bstr.h"
#include "comsupport/com_error.h"

namespace {

using comsupport::Bstr;
using comsupport::Variant;

TEST(Text, AnsiSurvivesTheRoundTripThroughBstr) {
  const std::string text = "Kelvane \xE9t\xE9 | 100%";  // Latin-1 accents in the ANSI page
  Bstr bstr(text);
  EXPECT_EQ(text.size(), bstr.Length());
  EXPECT_EQ(text, bstr.Ansi());
  Bstr copy = bstr;
  EXPECT_EQ(text, copy.Ansi());
  EXPECT_NE(bstr.get(), copy.get());
  EXPECT_EQ("", Bstr().Ansi());
  EXPECT_EQ(std::string("a\0b", 3), Bstr(std::string("a\0b", 3)).Ansi());
}

TEST(Text, VariantConvertsNumbersAndEmptyToText) {
  std::string text;
  EXPECT_TRUE(Variant(42L).ToText(text));
  EXPECT_EQ("42", text);
  EXPECT_TRUE(Variant().ToText(text));
  EXPECT_EQ("", text);
  EXPECT_TRUE(Variant(std::string("Y ")).ToText(text));
  EXPECT_EQ("Y ", text);
}

TEST(ComError, CarriesHresultInterfaceAndDescription) {
  ICreateErrorInfo* create = nullptr;
  ASSERT_EQ(S_OK, ::CreateErrorInfo(&create));
  create->SetDescription(const_cast<LPOLESTR>(L"no such channel"));
  IErrorInfo* info = nullptr;
  create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info));
  ::SetErrorInfo(0, info);
  info->Release();
  create->Release();
  try {
    comsupport::ThrowIfFailed(E_INVALIDARG, IID_IDispatch);
    FAIL() << "no exception";
  } catch (const comsupport::ComError& error) {
    EXPECT_EQ(E_INVALIDARG, error.hr());
    EXPECT_TRUE(IsEqualIID(IID_IDispatch, error.iid()));
    EXPECT_EQ("no such channel", error.description());
    EXPECT_STREQ("COM call on {00020400-0000-0000-C000-000000000046} failed with 0x80070057: no such channel",
                 error.what());
  }
  EXPECT_NO_THROW(comsupport::ThrowIfFailed(S_FALSE, IID_IDispatch));
}

}  // namespace
