// What the component's tests share: the control created from the build's module and hosted in
// the container stand-in against a stand-in client started with a fixture, and calls by name as a
// page script makes them.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "chanbind.h"
#include "comsupport/bstr.h"
#include "comsupport/com_object.h"
#include "comsupport/com_ptr.h"
#include "data_binding.h"
#include "standin/control_container.h"
#include "testing/dialog_driver.h"
#include "testing/standin_client.h"

namespace chanbind_test {

// Three channels: 7 "Kelvane" (category Updates, trusted by its low security mode) with three
// stories, 12 "News Desk" (News) with three, 20 "Sports" (News) with one.
extern const char kFixture[];

// A fixture of one channel (id 30, "Bulk") with count stories "Story n", ids 1..count.
std::string BulkFixture(long count);

// The class factory of the module in the build's output (loaded once per process).
comsupport::ComPtr<IClassFactory> ChanbindFactory();

// The outcome of a call by name: its HRESULT, the error description it left, its value.
struct CallResult {
  HRESULT hr = S_OK;
  std::string error;
  comsupport::Variant value;
  std::string Text() const;  // the value as text
  long Number() const;
};

class ChanbindSession {
 public:
  // safety: the IObjectSafety bits the host sets (0 leaves them clear); params: PARAM tags.
  explicit ChanbindSession(const std::string& fixture = kFixture, DWORD safety = 0,
                           const standin::PropertyList& params = {});
  ~ChanbindSession();

  IDispatch* control() const { return dispatch_.get(); }
  // The dual interface, for what only a caller of its table sees (S_FALSE).
  comsupport::ComPtr<IChanbind3> chanbind() const;
  OLEDBSimpleProvider* provider() const { return provider_.get(); }
  standin::EventSink* events() const { return container_.events(); }
  IZorvaneStandinControl* client() const { return client_->control(); }
  testing_support::StandinClient& standin() { return *client_; }
  standin::ControlContainer& container() { return container_; }

  CallResult Get(const char* name, std::vector<comsupport::Variant> arguments = {});
  CallResult Put(const char* name, const comsupport::Variant& value);
  CallResult Call(const char* name, std::vector<comsupport::Variant> arguments = {});

  // msDataSourceObject(qualifier) with a recording listener attached, as IE binds a table.
  comsupport::ComPtr<standin::BindingRecorder> Bind(const std::string& qualifier);
  // The table as a bound HTML table reads it: one line per row, cells separated by "|".
  std::string Table(const std::vector<std::string>& columns);
  // Pumps messages until predicate holds or timeout_ms pass.
  bool WaitFor(const std::function<bool()>& predicate, DWORD timeout_ms = 10000);
  // Event lines of the sink whose dispid is id.
  std::vector<std::string> EventsOf(DISPID id) const;

 private:
  CallResult Invoke(const char* name, WORD flags, std::vector<comsupport::Variant> arguments);

  std::unique_ptr<testing_support::StandinClient> client_;
  standin::ControlContainer container_;
  comsupport::ComPtr<IDispatch> dispatch_;
  comsupport::ComPtr<OLEDBSimpleProvider> provider_;
};

comsupport::Variant Text(const char* text);
comsupport::Variant Number(long number);
comsupport::Variant Bool(bool value);

// What the "Security Warning" showed while action ran on this thread: it is answered with button
// from another thread (the dialog is modal on this one), the check boxes clicked first.
struct WarningSeen {
  std::optional<testing_support::DialogContents> dialog;
  bool channel_box_enabled = true;  // check box 201 when the button was pressed
};
WarningSeen AnsweringSecurityWarning(const std::string& button, const std::vector<int>& boxes,
                                     const std::function<void()>& action);

}  // namespace chanbind_test
