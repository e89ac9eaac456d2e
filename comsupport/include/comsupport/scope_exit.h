// Runs a callable when the scope ends, unless dismissed.
#pragma once

#include <utility>

namespace comsupport {

template <class F>
class ScopeExit {
 public:
  explicit ScopeExit(F f) : f_(std::move(f)) {}
  ScopeExit(const ScopeExit&) = delete;
  ScopeExit& operator=(const ScopeExit&) = delete;
  ~ScopeExit() {
    if (active_) f_();
  }
  void Dismiss() { active_ = false; }

 private:
  F f_;
  bool active_ = true;
};

template <class F>
ScopeExit<F> MakeScopeExit(F f) {
  return ScopeExit<F>(std::move(f));
}

}  // namespace comsupport
