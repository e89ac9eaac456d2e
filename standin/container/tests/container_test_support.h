// Shared set-up of the container tests: a fresh record of the control's calls and its factory.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "comsupport/class_factory.h"
#include "comsupport/com_ptr.h"
#include "recording_control.h"
#include "standin/control_container.h"

class ContainerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RecordingControl::calls.clear();
    RecordingControl::misc_status = 0x20191;  // as the suite's controls register it
    RecordingControl::offers_class_info2 = true;
    destroyed_before_ = RecordingControl::destroyed;
    factory_ = comsupport::ComPtr<IClassFactory>::Attach(new comsupport::ClassFactory<RecordingControl>());
  }

  int DestroyedSinceSetUp() const { return RecordingControl::destroyed - destroyed_before_; }

  static comsupport::ComPtr<ITestControl> Control(const standin::ControlContainer& container) {
    return comsupport::ComPtr<IUnknown>(container.control()).As<ITestControl>();
  }

  static std::vector<std::string> Calls() { return RecordingControl::calls; }

  comsupport::ComPtr<IClassFactory> factory_;

 private:
  int destroyed_before_ = 0;
};
