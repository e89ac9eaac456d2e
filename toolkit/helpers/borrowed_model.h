// The channel model borrowed for one call: its lock is released on every way out.
#pragma once

#include "vinnet/services.h"

class BorrowedModel {
 public:
  BorrowedModel() : services_(GetCServices()) {}
  ~BorrowedModel() { ReleaseCServices(services_); }
  BorrowedModel(const BorrowedModel&) = delete;
  BorrowedModel& operator=(const BorrowedModel&) = delete;
  CServices* get() const { return services_; }

 private:
  CServices* services_;
};
