#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "comsupport/com_object.h"
#include "comsupport/com_ptr.h"
#include "comsupport/unique_handle.h"
#include "comsupport/worker_thread.h"
#include "testing/dialog_driver.h"

namespace {

using comsupport::ComPtr;
using comsupport::UniqueHandle;
using comsupport::WorkerThread;

UniqueHandle NewEvent() { return UniqueHandle(::CreateEventA(nullptr, TRUE, FALSE, nullptr)); }

// An object of the test's apartment: calls on it from the watch thread are served only
// while this thread dispatches COM calls.
class ApartmentObject : public comsupport::ComObject<IDispatch> {
 public:
  std::atomic<DWORD> served_on{0};
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    served_on = ::GetCurrentThreadId();
    *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }

 protected:
  void* FindInterface(REFIID iid) override {
    return iid == IID_IUnknown || iid == IID_IDispatch ? static_cast<IDispatch*>(this) : nullptr;
  }
};

TEST(WorkerThread, RunsAfterEachIntervalUntilStoppedAndNeverAfter) {
  std::atomic<int> runs{0};
  WorkerThread watch;
  const DWORD started = ::GetTickCount();
  DWORD first_run = 0;
  ASSERT_TRUE(watch.Start(IID_IUnknown, nullptr,
                          [&](IUnknown* carried) {
                            if (runs == 0) first_run = ::GetTickCount();
                            EXPECT_EQ(nullptr, carried);
                            ++runs;
                            return true;
                          },
                          {400, 20}));
  while (runs < 5) ::Sleep(10);
  watch.Stop();
  EXPECT_FALSE(watch.running());
  EXPECT_GE(first_run - started, 380u) << "the first run waits for the first interval";
  const int after_stop = runs;
  ::Sleep(300);
  EXPECT_EQ(after_stop, runs);
}

TEST(WorkerThread, JobThatAsksToEndEndsTheThread) {
  std::atomic<int> runs{0};
  WorkerThread watch;
  ASSERT_TRUE(watch.Start(IID_IUnknown, nullptr, [&](IUnknown*) { return ++runs < 2; }, {10, 10}));
  ::Sleep(500);
  EXPECT_EQ(2, runs);
  watch.Stop();
}

TEST(WorkerThread, StopLetsAJobInACallFinishInsteadOfKillingIt) {
  UniqueHandle entered = NewEvent();
  UniqueHandle answer = NewEvent();
  std::atomic<bool> finished{false};
  std::atomic<int> runs{0};
  WorkerThread watch;
  ASSERT_TRUE(watch.Start(IID_IUnknown, nullptr,
                          [&](IUnknown*) {
                            ++runs;
                            ::SetEvent(entered.get());
                            // Stands for a slow call into the client.
                            ::WaitForSingleObject(answer.get(), 30000);
                            finished = true;
                            return true;
                          },
                          {10, 10}));
  ASSERT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(entered.get(), 30000));
  std::thread answerer([&] {
    ::Sleep(500);
    ::SetEvent(answer.get());
  });
  watch.Stop();
  EXPECT_TRUE(finished) << "Stop returned while the job was still in its call";
  answerer.join();
  ::Sleep(100);
  EXPECT_EQ(1, runs);
}

TEST(WorkerThread, StopKeepsServingTheApartmentTheJobCallsInto) {
  ComPtr<ApartmentObject> object = ComPtr<ApartmentObject>::Attach(new ApartmentObject());
  UniqueHandle entered = NewEvent();
  std::atomic<HRESULT> call_result{E_PENDING};
  WorkerThread watch;
  ASSERT_TRUE(watch.Start(IID_IDispatch, static_cast<IDispatch*>(object.get()),
                          [&](IUnknown* carried) {
                            ::SetEvent(entered.get());
                            ::Sleep(300);  // the call comes while Stop is waiting
                            UINT count = 1;
                            ComPtr<IDispatch> dispatch = ComPtr<IUnknown>(carried).As<IDispatch>();
                            call_result = dispatch ? dispatch->GetTypeInfoCount(&count) : E_NOINTERFACE;
                            return true;
                          },
                          {10, 60000}));
  ASSERT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(entered.get(), 30000));
  watch.Stop();
  EXPECT_EQ(S_OK, call_result.load());
  EXPECT_EQ(::GetCurrentThreadId(), object->served_on.load()) << "the call was served in the object's apartment";
}

TEST(WorkerThread, StopClosesTheBoxTheJobShows) {
  const char caption[] = "Worker Thread Test Box";
  std::atomic<int> box_result{-1};
  WorkerThread watch;
  ASSERT_TRUE(watch.Start(IID_IUnknown, nullptr,
                          [&](IUnknown*) {
                            box_result = ::MessageBoxA(nullptr, "waiting", caption, MB_OK | MB_ICONWARNING);
                            return true;
                          },
                          {10, 10}));
  ASSERT_TRUE(testing_support::WaitForDialog(caption, 300000).has_value());
  watch.Stop();
  EXPECT_NE(-1, box_result.load()) << "the box was closed and the job returned";
  EXPECT_TRUE(testing_support::NoDialogFor(caption, 500));
}

}  // namespace
