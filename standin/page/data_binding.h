// IE's data binding played against a data source object: the listeners IE hands it, which
// journal every call, and the reads a bound table makes.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "chanbind.h"
#include "comsupport/com_object.h"
#include "comsupport/com_ptr.h"

namespace standin {

class BindingRecorder : public comsupport::ComObject<OLEDBSimpleProviderListener, DataSourceListener> {
 public:
  // OLEDBSimpleProviderListener
  STDMETHODIMP aboutToChangeCell(DBROWCOUNT row, DB_LORDINAL column) override;
  STDMETHODIMP cellChanged(DBROWCOUNT row, DB_LORDINAL column) override;
  STDMETHODIMP aboutToDeleteRows(DBROWCOUNT row, DBROWCOUNT count) override;
  STDMETHODIMP deletedRows(DBROWCOUNT row, DBROWCOUNT count) override;
  STDMETHODIMP aboutToInsertRows(DBROWCOUNT row, DBROWCOUNT count) override;
  STDMETHODIMP insertedRows(DBROWCOUNT row, DBROWCOUNT count) override;
  STDMETHODIMP rowsAvailable(DBROWCOUNT row, DBROWCOUNT count) override;
  STDMETHODIMP transferComplete(OSPXFER transfer) override;
  // DataSourceListener
  STDMETHODIMP dataMemberChanged(DataMember member) override;
  STDMETHODIMP dataMemberAdded(DataMember member) override;
  STDMETHODIMP dataMemberRemoved(DataMember member) override;

  std::vector<std::string> journal;

 protected:
  void* FindInterface(REFIID iid) override;
};

class DataBinding {
 public:
  // As IE binds DATASRC="#object.qualifier": the data source listener, msDataSourceObject,
  // then the provider's listener. An error text when a step failed.
  std::string Bind(IDispatch* source, const std::wstring& qualifier);
  // The table as a bound table reads it (row count, column count, the header row, then each
  // cell raw and formatted): one line per row, cells separated by "|", a formatted value that
  // differs from the raw one after it in brackets. columns: titles to show, all when empty.
  std::string Table(const std::vector<std::wstring>& columns);
  // The recorder's journal since the last call, one line each.
  std::string TakeRecord();

 private:
  comsupport::ComPtr<BindingRecorder> recorder_;
  comsupport::ComPtr<OLEDBSimpleProvider> provider_;
};

}  // namespace standin
