// What the Storyroll tests share: the stand-in client with the story-list fixture and the
// control registered with regsvr32, a hosted control driven through its dispinterface as a
// page script drives it, message pumping, and the client's journal.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "comsupport/bstr.h"
#include "ravlin_test_support.h"
#include "standin/control_container.h"
#include "testing/registered_module.h"

namespace storyroll_tests {

constexpr DWORD kAlerts = 0xFDFFFFE1;

// Channels 30 "Kelvane" (category "Support"; stories 3001..3005), 31 "Sport news" ("sport";
// 3101), 32 "Spare parts" ("SP"; 3201), 33 "Garden" ("Spring"; 3301), 34 "Empty" (no stories),
// and the alerts channel (501 pointing at 30:3001). See storyroll_test_support.cpp.
std::string StoryrollFixture();

// Pumps this thread's messages for ms milliseconds.
void Pump(DWORD ms = 0);
// Pumps until done() holds; false after timeout_ms.
bool PumpUntil(const std::function<bool()>& done, DWORD timeout_ms = 10000);

// A Storyroll in the container stand-in, in place active in a visible host window.
class HostedStoryroll {
 public:
  explicit HostedStoryroll(const standin::Initialization& initialization = {}, int width = 600, int height = 300);
  ~HostedStoryroll();

  comsupport::Variant Get(const char* name);
  void Put(const char* name, const comsupport::Variant& value);
  comsupport::Variant Call(const char* name, std::vector<comsupport::Variant> arguments = {});
  HRESULT TryCall(const char* name, WORD flags, std::vector<comsupport::Variant> arguments, VARIANT* result);
  long GetLong(const char* name);
  bool GetBool(const char* name);
  void PutBool(const char* name, bool value);
  bool SetChannel(long channel);

  standin::ControlContainer& container() { return container_; }
  HWND window() const { return container_.ControlWindow(); }
  // The grid (child 1 of the control's window) and its list.
  HWND grid() const;
  HWND list() const;
  std::vector<std::string> Events() const;
  void ClearEvents();
  // The grid's rows as it holds them (the grid window keeps its object as its user data).
  struct Row {
    DWORD channel;
    DWORD story;
    std::string headline;  // the Content cell
    DWORD headline_flags;
    std::string summary;
    DWORD summary_flags;
    std::vector<int> images;  // the image cells, in column order
  };
  std::vector<Row> Rows() const;
  std::vector<std::string> Headlines() const;
  std::vector<int> Selected() const;

 private:
  standin::ControlContainer container_;
  comsupport::ComPtr<IDispatch> dispatch_;
};

comsupport::Variant Bool(bool value);
comsupport::Variant Long(long value);
comsupport::Variant Text(const std::string& value);

class StoryrollTest : public testing::Test {
 protected:
  static void SetUpTestSuite();
  static void TearDownTestSuite();
  void SetUp() override;

  static IZorvaneStandinControl* client() { return standin_->control(); }
  static void Check(HRESULT hr) { testing_support::StandinClient::Check(hr, "the stand-in's control call"); }
  // The client calls journaled since SetUp (the library's keep-alive left out).
  static std::vector<std::string> Journal() { return ravlin_tests::JournalLines(*standin_); }
  static void ClearJournal() { standin_->ClearJournal(); }
  static bool JournalHas(const std::string& text);

  static testing_support::RegisteredModule* registered_;
  static ravlin_tests::PinnedStandin* standin_;
};

// Storyroll.ocx of the build, registered while the object lives.
std::unique_ptr<testing_support::RegisteredModule> RegisterStoryroll();

}  // namespace storyroll_tests
