// The fixture of the operation tests: one stand-in and one library start for each test suite;
// each test begins from the example fixture with an empty journal, no injected failures and
// no notes.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "comsupport/bstr.h"
#include "ravlin_test_support.h"
#include "testing/dialog_driver.h"

namespace ravlin_tests {

class OperationsTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    standin_ = new PinnedStandin(ExampleFixture());
    library_ = new StartedLibrary();
  }
  static void TearDownTestSuite() {
    delete library_;
    library_ = nullptr;
    delete standin_;
    standin_ = nullptr;
  }
  void SetUp() override {
    ASSERT_TRUE(library_->started());
    Load(ExampleFixture());
  }

  // Replaces the client's model (raising nothing) and clears the journal and the notes.
  void Load(const std::string& fixture) {
    Check(control()->LoadFixture(comsupport::Bstr(fixture).get()));
    Check(control()->ClearFailures());
    Check(control()->ClearJournal());
    ClearNotes();
  }
  // The example fixture with one text replaced.
  static std::string ExampleWith(const std::string& from, const std::string& to) {
    std::string fixture = ExampleFixture();
    size_t at = fixture.find(from);
    if (at != std::string::npos) fixture.replace(at, from.size(), to);
    return fixture;
  }
  // member: "Object.member" or "Object[id].member"; every call fails from now on.
  void Fail(const std::string& member, HRESULT hr = E_FAIL) {
    Check(control()->FailMember(comsupport::Bstr(member).get(), hr, 0));
    Check(control()->ClearJournal());
  }
  void ChangeChannel(long id, const std::string& json) {
    Check(control()->ChangeChannel(id, comsupport::Bstr(json).get(), 0));
    Check(control()->ClearJournal());
  }
  void ChangeVessik(long id, const std::string& json) {
    Check(control()->ChangeVessik(id, comsupport::Bstr(json).get(), 0));
    Check(control()->ClearJournal());
  }
  void ClearJournal() { Check(control()->ClearJournal()); }
  std::vector<std::string> Journal() const { return JournalLines(*standin_); }
  // The journal once the client has told the sink of the changes it has made, without the
  // sink's own calls on the changed channel, which come last.
  std::vector<std::string> JournalWithoutSinkCalls() const {
    comsupport::Bstr handlers;
    Check(control()->get_Handlers(handlers.put()));  // delivers what is queued, before returning
    std::vector<std::string> lines = Journal();
    auto is_sink_call = [](const std::string& line) {
      return line.rfind("Channel[", 0) == 0 && (line.find("].get_Id()") != std::string::npos ||
                                                 line.find("].get_Name()") != std::string::npos ||
                                                 line.find("].get_Flags()") != std::string::npos);
    };
    while (!lines.empty() && is_sink_call(lines.back())) lines.pop_back();
    return lines;
  }
  static IZorvaneStandinControl* control() { return standin_->control(); }
  static void Check(HRESULT hr) { testing_support::StandinClient::Check(hr, "the stand-in's control call"); }
  // A window of the calling thread to pass as a parent, and its number as the client sees it.
  static HWND Parent() { return ::GetDesktopWindow(); }
  static std::string ParentNumber() { return std::to_string(static_cast<long>(reinterpret_cast<LONG_PTR>(Parent()))); }

  static PinnedStandin* standin_;
  static StartedLibrary* library_;
};

// Waits on a thread of its own for a dialog with the caption, reads it and presses a button,
// while the test's thread runs the code that shows it. Join() returns what was seen.
class BoxPresser {
 public:
  struct Seen : testing_support::AnsweredDialog {
    bool found = false;
  };

  // before_press runs on the presser's thread once the box has been read.
  BoxPresser(std::string caption, std::string button, std::function<void()> before_press = nullptr)
      : thread_([this, caption = std::move(caption), button = std::move(button), before_press] {
          if (auto answered = testing_support::AnswerDialog(caption, button, 15000, before_press)) {
            static_cast<testing_support::AnsweredDialog&>(seen_) = *answered;
            seen_.found = true;
          }
        }) {}
  ~BoxPresser() {
    if (thread_.joinable()) thread_.join();
  }
  BoxPresser(const BoxPresser&) = delete;
  BoxPresser& operator=(const BoxPresser&) = delete;

  Seen Join() {
    if (thread_.joinable()) thread_.join();
    return seen_;
  }

 private:
  Seen seen_;
  std::thread thread_;
};

}  // namespace ravlin_tests
