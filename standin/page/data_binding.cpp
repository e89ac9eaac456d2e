#include "data_binding.h"

#include "comsupport/bstr.h"
#include "comsupport/com_error.h"

namespace standin {

using comsupport::ComPtr;
using comsupport::Variant;

namespace {

std::string Line(const char* name, long a, long b) {
  return std::string(name) + " " + std::to_string(a) + " " + std::to_string(b);
}

std::string MemberText(DataMember member) { return member ? comsupport::ToAnsi(member) : "(null)"; }

std::string CellText(const Variant& value) {
  std::string text;
  if (value.type() == VT_BOOL) return value.get()->boolVal ? "true" : "false";
  if (!value.ToText(text)) return "?";
  return text;
}

}  // namespace

STDMETHODIMP BindingRecorder::aboutToChangeCell(DBROWCOUNT row, DB_LORDINAL column) {
  journal.push_back(Line("aboutToChangeCell", row, column));
  return S_OK;
}
STDMETHODIMP BindingRecorder::cellChanged(DBROWCOUNT row, DB_LORDINAL column) {
  journal.push_back(Line("cellChanged", row, column));
  return S_OK;
}
STDMETHODIMP BindingRecorder::aboutToDeleteRows(DBROWCOUNT row, DBROWCOUNT count) {
  journal.push_back(Line("aboutToDeleteRows", row, count));
  return S_OK;
}
STDMETHODIMP BindingRecorder::deletedRows(DBROWCOUNT row, DBROWCOUNT count) {
  journal.push_back(Line("deletedRows", row, count));
  return S_OK;
}
STDMETHODIMP BindingRecorder::aboutToInsertRows(DBROWCOUNT row, DBROWCOUNT count) {
  journal.push_back(Line("aboutToInsertRows", row, count));
  return S_OK;
}
STDMETHODIMP BindingRecorder::insertedRows(DBROWCOUNT row, DBROWCOUNT count) {
  journal.push_back(Line("insertedRows", row, count));
  return S_OK;
}
STDMETHODIMP BindingRecorder::rowsAvailable(DBROWCOUNT row, DBROWCOUNT count) {
  journal.push_back(Line("rowsAvailable", row, count));
  return S_OK;
}
STDMETHODIMP BindingRecorder::transferComplete(OSPXFER transfer) {
  journal.push_back("transferComplete " + std::to_string(static_cast<long>(transfer)));
  return S_OK;
}
STDMETHODIMP BindingRecorder::dataMemberChanged(DataMember member) {
  journal.push_back("dataMemberChanged " + MemberText(member));
  return S_OK;
}
STDMETHODIMP BindingRecorder::dataMemberAdded(DataMember member) {
  journal.push_back("dataMemberAdded " + MemberText(member));
  return S_OK;
}
STDMETHODIMP BindingRecorder::dataMemberRemoved(DataMember member) {
  journal.push_back("dataMemberRemoved " + MemberText(member));
  return S_OK;
}
void* BindingRecorder::FindInterface(REFIID iid) {
  if (iid == IID_IUnknown || iid == IID_OLEDBSimpleProviderListener) {
    return static_cast<OLEDBSimpleProviderListener*>(this);
  }
  if (iid == IID_DataSourceListener) return static_cast<DataSourceListener*>(this);
  return nullptr;
}

std::string DataBinding::Bind(IDispatch* source, const std::wstring& qualifier) {
  if (!recorder_) recorder_ = ComPtr<BindingRecorder>::Attach(new BindingRecorder());
  if (provider_) provider_->removeOLEDBSimpleProviderListener(recorder_.get());
  provider_.reset();
  // IE reaches the data source members by their dispids.
  Variant listener;
  listener.put()->vt = VT_UNKNOWN;
  listener.get()->punkVal = static_cast<DataSourceListener*>(recorder_.get());
  recorder_->AddRef();
  DISPPARAMS add{listener.get(), nullptr, 1, 0};
  HRESULT hr = source->Invoke(-3901, IID_NULL, 0, DISPATCH_METHOD, &add, nullptr, nullptr, nullptr);
  if (FAILED(hr)) return "addDataSourceListener failed " + comsupport::HresultText(hr);
  Variant name(qualifier.c_str());
  DISPPARAMS ask{name.get(), nullptr, 1, 0};
  Variant object;
  EXCEPINFO exception{};
  hr = source->Invoke(-3900, IID_NULL, 0, DISPATCH_METHOD, &ask, object.put(), &exception, nullptr);
  if (FAILED(hr)) {
    std::string text = "msDataSourceObject failed " + comsupport::HresultText(exception.scode ? exception.scode : hr);
    if (exception.bstrDescription) text += ": " + comsupport::ToAnsi(exception.bstrDescription);
    ::SysFreeString(exception.bstrSource);
    ::SysFreeString(exception.bstrDescription);
    ::SysFreeString(exception.bstrHelpFile);
    return text;
  }
  if (object.type() != VT_UNKNOWN && object.type() != VT_DISPATCH) return "msDataSourceObject gave no object";
  hr = object.get()->punkVal->QueryInterface(IID_OLEDBSimpleProvider, provider_.put_void());
  if (FAILED(hr)) return "no OLEDBSimpleProvider " + comsupport::HresultText(hr);
  provider_->addOLEDBSimpleProviderListener(recorder_.get());
  return {};
}

std::string DataBinding::Table(const std::vector<std::wstring>& columns) {
  if (!provider_) return "(not bound)\n";
  DBROWCOUNT rows = 0;
  DB_LORDINAL count = 0;
  provider_->getRowCount(&rows);
  provider_->getColumnCount(&count);
  std::vector<long> shown;
  for (long column = 1; column <= count; ++column) {
    Variant title;
    provider_->getVariant(0, column, OSPFORMAT_RAW, title.put());
    if (columns.empty()) {
      shown.push_back(column);
      continue;
    }
    for (const auto& wanted : columns) {
      if (title.type() == VT_BSTR && title.get()->bstrVal && wanted == title.get()->bstrVal) shown.push_back(column);
    }
  }
  std::string text;
  for (long row = 0; row <= rows; ++row) {
    std::string line;
    for (size_t i = 0; i < shown.size(); ++i) {
      Variant raw, formatted;
      provider_->getVariant(row, shown[i], OSPFORMAT_RAW, raw.put());
      std::string cell = CellText(raw);
      if (row > 0 && SUCCEEDED(provider_->getVariant(row, shown[i], OSPFORMAT_FORMATTED, formatted.put()))) {
        const std::string shown_text = CellText(formatted);
        if (shown_text != cell) cell += " [" + shown_text + "]";
      }
      line += (i ? "|" : "") + cell;
    }
    text += line + "\n";
  }
  return text;
}

std::string DataBinding::TakeRecord() {
  std::string text;
  if (!recorder_) return text;
  for (const auto& line : recorder_->journal) text += line + "\n";
  recorder_->journal.clear();
  return text;
}

}  // namespace standin
