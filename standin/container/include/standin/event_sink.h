// The host's end of a control's events: an IDispatch for the default event interface and an
// IPropertyNotifySink, both journaling what arrives. An event becomes "dispid arg1 arg2 ...",
// arguments in declaration order as text; a property change becomes "changed dispid".
// By-reference BOOL arguments (a Cancel flag) can be answered per event.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "comsupport/com_object.h"

namespace standin {

class EventSink : public comsupport::ComObject<IDispatch, IPropertyNotifySink> {
 public:
  explicit EventSink(REFIID events) : events_(events) {}

  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO*, UINT*) override;

  STDMETHODIMP OnChanged(DISPID id) override;
  STDMETHODIMP OnRequestEdit(DISPID id) override;

  // Every by-reference BOOL argument of event id is set to answer before the call returns.
  void AnswerByReference(DISPID id, bool answer) { answers_[id] = answer; }
  // Runs handler inside every event id, after it is journaled, as a page's handler would run.
  void Handle(DISPID id, std::function<void()> handler) { handlers_[id] = std::move(handler); }
  const std::vector<std::string>& journal() const { return journal_; }
  void ClearJournal() { journal_.clear(); }

 protected:
  void* FindInterface(REFIID iid) override;

 private:
  const IID events_;
  std::map<DISPID, bool> answers_;
  std::map<DISPID, std::function<void()>> handlers_;
  std::vector<std::string> journal_;
};

}  // namespace standin
