// Mail through the real MAPI32.DLL to the mail stand-in, which journals what it is handed.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>
#include <mapi.h>

#include <string>
#include <vector>

#include "testing/box_thread.h"
#include "testing/dialog_driver.h"
#include "testing/process.h"
#include "testing/standin_mail.h"
#include "vinnet/mapi_message.h"

namespace {

using ::testing::ElementsAre;
using testing_support::MailedMessage;

class OwnerWindow {
 public:
  OwnerWindow() : window_(::CreateWindowExA(0, "STATIC", "Mail owner", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr)) {}
  ~OwnerWindow() { ::DestroyWindow(window_); }
  OwnerWindow(const OwnerWindow&) = delete;
  OwnerWindow& operator=(const OwnerWindow&) = delete;
  HWND get() const { return window_; }

 private:
  HWND window_;
};

CMapiMessage Story() {
  CMapiMessage message;
  message.From("Kelvane");
  message.To("user@example.com");
  message.To("second");
  message.Cc("copy@example.com");
  message.Subject("BIOS update 1.2");
  message.Text("Flash it.\r\n\r\nFull Story:  http://example.com/1");
  message.Attach("C:\\cache\\notes.txt");
  message.Attach("C:\\cache\\a.htm", "Story page");
  return message;
}

TEST(MapiMessage, HandsEveryPartToTheMailSystemWithTheOwnerDisabledMeanwhile) {
  testing_support::StandinMail mail;
  OwnerWindow owner;
  ASSERT_NE(nullptr, owner.get());
  CMapiMessage message = Story();
  CMapiMessage copy(message);  // a copy carries everything

  EXPECT_EQ(1, copy.Send(owner.get(), MAPI_DIALOG));
  EXPECT_EQ(static_cast<ULONG>(SUCCESS_SUCCESS), copy.Error());
  EXPECT_TRUE(::IsWindowEnabled(owner.get())) << "enabled again afterwards";

  const std::vector<MailedMessage> sent = mail.Messages();
  ASSERT_EQ(1u, sent.size());
  EXPECT_EQ(static_cast<ULONG>(MAPI_DIALOG), sent[0].flags);
  EXPECT_EQ("disabled", sent[0].owner);
  EXPECT_EQ("BIOS update 1.2", sent[0].subject);
  EXPECT_EQ("Flash it.\\x0D\\x0A\\x0D\\x0AFull Story:  http://example.com/1", sent[0].body);
  EXPECT_THAT(sent[0].recipients,
              ElementsAre("from Kelvane <>", "to user@example.com <>", "to second <>", "cc copy@example.com <>"));
  EXPECT_THAT(sent[0].attachments,
              ElementsAre("C:\\x5Ccache\\x5Cnotes.txt | notes.txt", "C:\\x5Ccache\\x5Ca.htm | Story page"));
}

TEST(MapiMessage, AnOwnerThatWasDisabledStaysDisabledAndNoOwnerIsAllowed) {
  testing_support::StandinMail mail;
  OwnerWindow owner;
  ::EnableWindow(owner.get(), FALSE);
  CMapiMessage message = Story();
  EXPECT_EQ(1, message.Send(owner.get(), 0));
  EXPECT_FALSE(::IsWindowEnabled(owner.get()));
  EXPECT_EQ(1, message.Send(nullptr, 0));
  const std::vector<MailedMessage> sent = mail.Messages();
  ASSERT_EQ(2u, sent.size());
  EXPECT_EQ("none", sent[1].owner);
}

TEST(MapiMessage, OnlyARealFailureIsShownToTheUser) {
  testing_support::StandinMail mail;
  OwnerWindow owner;
  CMapiMessage message = Story();
  for (ULONG quiet : {static_cast<ULONG>(MAPI_USER_ABORT), static_cast<ULONG>(MAPI_E_LOGIN_FAILURE)}) {
    mail.Answer(quiet);
    EXPECT_EQ(0, message.Send(owner.get(), MAPI_DIALOG));
    EXPECT_EQ(quiet, message.Error());
    EXPECT_TRUE(testing_support::NoDialogFor("Mail", 300)) << "answer " << quiet;
  }

  mail.Answer(MAPI_E_FAILURE);
  int result = -1;
  {
    testing_support::BoxThread sender("Mail", [&] { result = message.Send(nullptr, MAPI_DIALOG); });
    auto box = testing_support::AnswerDialog("Mail", "OK", 60000);
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ("Send Mail failed to send message.", box->contents.message);
  }
  EXPECT_EQ(0, result);
  EXPECT_EQ(static_cast<ULONG>(MAPI_E_FAILURE), message.Error());
  EXPECT_EQ(3u, mail.Messages().size());
}

TEST(MapiMessage, HasEmailFollowsTheProfilesMailSection) {
  char previous[16] = {};
  const bool had = ::GetProfileStringA("MAIL", "MAPI", "", previous, sizeof previous) > 0;
  const std::string probe = testing_support::Quote(testing_support::BuildOutput("has_email_probe.exe"));
  ASSERT_TRUE(::WriteProfileStringA("MAIL", "MAPI", "1"));
  EXPECT_EQ(1u, testing_support::RunProgram(probe, 60000));
  ASSERT_TRUE(::WriteProfileStringA("MAIL", "MAPI", "0"));
  EXPECT_EQ(0u, testing_support::RunProgram(probe, 60000));
  ::WriteProfileStringA("MAIL", "MAPI", had ? previous : nullptr);
}

}  // namespace
