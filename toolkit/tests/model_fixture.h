// Shared by the channel model's tests: the stand-in client with the model's fixture, started
// once for each test suite with the access library, and each test beginning from that fixture
// with no failures injected.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "ravlin_test_support.h"
#include "vinnet/services.h"

namespace vinnet_tests {

// Channels 9 "News", 7 "Kelvane", 20 "Modes", 21 "Scroll", a channel without a name (id 12)
// and the alerts channel, in that order; see model_fixture.cpp for their stories.
std::string ModelFixture();

class ModelTest : public testing::Test {
 protected:
  static void SetUpTestSuite();
  static void TearDownTestSuite();
  void SetUp() override;

  // Replaces the client's world (raising nothing) and clears failures and journal.
  static void Load(const std::string& fixture);
  // Every call of member fails from now on ("Channels.get__NewEnum").
  static void Fail(const std::string& member, HRESULT hr = E_FAIL);
  static IZorvaneStandinControl* control() { return standin_->control(); }
  static void Check(HRESULT hr) { testing_support::StandinClient::Check(hr, "the stand-in's control call"); }

  static ravlin_tests::PinnedStandin* standin_;
  static ravlin_tests::StartedLibrary* library_;
};

// A model of its own, refreshed, with the story data of every channel loaded.
class LoadedModel {
 public:
  LoadedModel();
  CServices& get() { return services_; }
  CService& Channel(DWORD id);
  // The index of a story of a channel; fails the test when it is missing.
  long Index(DWORD channel_id, DWORD story_id);

 private:
  CServices services_;
};

// Sets the C runtime's time zone (TZ, as "UTC0" or "EST5") for one test and restores it.
class FixedTimeZone {
 public:
  explicit FixedTimeZone(const char* zone);
  ~FixedTimeZone();

 private:
  std::string previous_;
  bool had_previous_;
};

}  // namespace vinnet_tests
