// The table as IE's data binding and scripts read it: the OLE DB simple provider, the data
// source entry points with the qualifier, and the script members over rows and columns.
#include <algorithm>
#include <functional>
#include <cwctype>

#include "chanbind_control.h"
#include "chanbind_resources.h"
#include "comsupport/com_error.h"
#include "content_security.h"
#include "display_format.h"
#include "script_errors.h"
#include "story_client.h"
#include "story_collection.h"
#include "story_object.h"

namespace chanbind {

using comsupport::ComPtr;
using comsupport::Variant;

namespace {

bool Missing(const VARIANT& value) { return value.vt == VT_EMPTY || value.vt == VT_ERROR || value.vt == VT_NULL; }

long LongOr(const VARIANT& value, long fallback) {
  if (Missing(value)) return fallback;
  Variant number;
  if (FAILED(::VariantChangeType(number.get(), const_cast<VARIANT*>(&value), 0, VT_I4))) {
    throw comsupport::ComError(DISP_E_TYPEMISMATCH, IID_IChanbind2, "");
  }
  return number.get()->lVal;
}

std::wstring TextOf(const VARIANT& value) {
  Variant text;
  if (FAILED(::VariantChangeType(text.get(), const_cast<VARIANT*>(&value), VARIANT_ALPHABOOL, VT_BSTR))) return {};
  return text.get()->bstrVal ? text.get()->bstrVal : L"";
}

std::wstring Lower(std::wstring text) {
  for (auto& c : text) c = static_cast<wchar_t>(std::towlower(c));
  return text;
}

bool Matches(const VARIANT& cell, const VARIANT& wanted, OSPCOMP comparison, bool case_sensitive) {
  if (comparison == OSPCOMP_CT || comparison == OSPCOMP_CW || comparison == OSPCOMP_NCT ||
      comparison == OSPCOMP_NCW) {
    std::wstring text = TextOf(cell), part = TextOf(wanted);
    if (!case_sensitive) {
      text = Lower(text);
      part = Lower(part);
    }
    const bool contains = text.find(part) != std::wstring::npos;
    const bool begins = text.rfind(part, 0) == 0;
    switch (comparison) {
      case OSPCOMP_CT: return contains;
      case OSPCOMP_CW: return begins;
      case OSPCOMP_NCT: return !contains;
      default: return !begins;
    }
  }
  // The value is compared as the cell's type where it converts.
  Variant value;
  ::VariantCopy(value.get(), const_cast<VARIANT*>(&wanted));
  if (cell.vt != VT_EMPTY && cell.vt != wanted.vt) {
    Variant converted;
    if (SUCCEEDED(::VariantChangeType(converted.get(), value.get(), 0, cell.vt))) value = converted;
  }
  const int order = CompareValues(cell, *value.get(), cell.vt, case_sensitive);
  switch (comparison) {
    case OSPCOMP_EQ: return order == 0;
    case OSPCOMP_LT: return order < 0;
    case OSPCOMP_LE: return order <= 0;
    case OSPCOMP_GT: return order > 0;
    case OSPCOMP_GE: return order >= 0;
    case OSPCOMP_NE: return order != 0;
    default: return false;
  }
}

bool CellIs(const StoryList& list, long row, const wchar_t* title, const std::function<bool(const VARIANT&)>& test) {
  const long column = list.columns().Find(title);
  if (column < 1) return false;
  Variant value;
  list.Value(row, column, value.get());
  return test(*value.get());
}

RowMarks MarksOf(const StoryList& list, long row) {
  RowMarks marks;
  if (row < 1) return marks;
  auto is_true = [](const VARIANT& v) { return v.vt == VT_BOOL && v.boolVal != VARIANT_FALSE; };
  // As the UNREAD column says: a story that never had a READ value is unread too.
  marks.unread = CellIs(list, row, L"UNREAD", is_true);
  marks.alerted = CellIs(list, row, L"ALERTED", is_true);
  marks.local = CellIs(list, row, L"STORY_LOCAL", is_true);
  marks.has_url =
      CellIs(list, row, L"URL", [](const VARIANT& v) { return v.vt == VT_BSTR && ::SysStringLen(v.bstrVal) > 0; });
  return marks;
}

}  // namespace

// A local path goes to the page only when the content check lets it (the check may ask the
// user); otherwise the page reads FALSE.
void Chanbind::GuardLocalPath(long row, VARIANT* value) {
  if (value->vt != VT_BSTR || !value->bstrVal || !IsLocalPath(value->bstrVal)) return;
  const std::shared_ptr<Row> story = stories_->RowAt(row);
  std::wstring channel_name;
  auto facts = channel_facts_.find(story->channel_id);
  if (facts != channel_facts_.end() && facts->second) channel_name = facts->second->name;
  IZorvaneChannel4_2* channel = monitor_ ? monitor_->ById(story->channel_id) : nullptr;
  // The dialog's message loop may run notifications that replace the list: keep this one.
  std::shared_ptr<StoryList> keep = stories_;
  if (ContentAllowed(value->bstrVal, channel_name, channel)) return;
  ::VariantClear(value);
  value->vt = VT_BOOL;
  value->boolVal = VARIANT_FALSE;
}

// OLEDBSimpleProvider

STDMETHODIMP Chanbind::getRowCount(DBROWCOUNT* rows) {
  if (!rows) return E_POINTER;
  *rows = stories_ ? stories_->RowCount() : 0;
  return S_OK;
}

STDMETHODIMP Chanbind::getColumnCount(DB_LORDINAL* columns) {
  if (!columns) return E_POINTER;
  *columns = stories_ ? stories_->ColumnCount() : 0;
  return S_OK;
}

STDMETHODIMP Chanbind::getRWStatus(DBROWCOUNT row, DB_LORDINAL column, OSPRW* status) {
  if (!status) return E_POINTER;
  const long columns = stories_ ? stories_->columns().size() : 0;
  *status = (row == 0 || column >= columns) ? OSPRW_READONLY : OSPRW_READWRITE;
  return S_OK;
}

STDMETHODIMP Chanbind::getVariant(DBROWCOUNT row, DB_LORDINAL column, OSPFORMAT format, VARIANT* value) {
  if (!value) return E_POINTER;
  ::VariantInit(value);
  if (!stories_ || row < 0 || column < 1 || row > stories_->RowCount() || column > stories_->ColumnCount()) {
    return E_INVALIDARG;
  }
  return ScriptBoundary("Chanbind::getVariant", [&] {
    stories_->Value(row, column, value);
    if (row >= 1) {
      MarkRead(row, column);
      // Before decoration: a path wrapped in a SPAN would no longer be seen as one.
      GuardLocalPath(row, value);
    }
    if (format != OSPFORMAT_RAW && stories_) {
      const std::wstring text = DisplayText(*value, stories_->columns().Title(column), embellish_,
                                            MarksOf(*stories_, row), ResourceDisplayWords());
      ::VariantClear(value);
      value->vt = VT_BSTR;
      value->bstrVal = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    }
    return S_OK;
  });
}

STDMETHODIMP Chanbind::setVariant(DBROWCOUNT row, DB_LORDINAL column, OSPFORMAT, VARIANT value) {
  if (!stories_ || row < 1 || column < 1 || row > stories_->RowCount() || column > stories_->ColumnCount()) {
    return E_INVALIDARG;
  }
  return ScriptBoundary("Chanbind::setVariant", [&] {
    std::shared_ptr<StoryList> list = stories_;
    std::shared_ptr<Row> changed = list->RowAt(row);
    auto facts = channel_facts_.find(changed->channel_id);
    // Held, since the client call below may let notifications replace the channel facts.
    const std::shared_ptr<const ChannelFacts> channel =
        facts == channel_facts_.end() ? nullptr : facts->second;
    if (!IsStateColumn(list->columns().Title(column))) {
      // Cells computed from the written one change with it: every read cell of the row is told.
      const bool read = row >= read_low_ && row <= read_high_;
      if (read) NotifyReadCells(row, true);
      list->SetCell(row, column, value);
      list->ComputeInternalCells(*changed, channel.get());
      if (read) NotifyReadCells(row, false);
      return S_OK;
    }
    // The client hears of a state change first, so a refused one changes no cell.
    Row written = *changed;
    WriteStateColumn(client_.get(), *list, written, column, value);
    list->ComputeInternalCells(written, channel.get());
    // The client call may have let a notification reorder or replace the rows: the row takes
    // the new state, but only a row still in its place is announced.
    const bool in_place = stories_ == list && row <= list->RowCount() && list->RowAt(row) == changed;
    const bool read = in_place && row >= read_low_ && row <= read_high_;
    if (read) NotifyReadCells(row, true);
    *changed = std::move(written);
    if (read) NotifyReadCells(row, false);
    return S_OK;
  });
}

STDMETHODIMP Chanbind::getLocale(BSTR* locale) {
  if (!locale) return E_POINTER;
  *locale = nullptr;
  return S_OK;
}

STDMETHODIMP Chanbind::deleteRows(DBROWCOUNT row, DBROWCOUNT count, DBROWCOUNT* deleted) {
  if (!deleted) return E_POINTER;
  *deleted = 0;
  return ScriptBoundary("Chanbind::deleteRows", [&] {
    if (!stories_ || row < 1 || count <= 0) return S_OK;
    const long last = std::min<long>(stories_->RowCount(), row + count - 1);
    if (row > last) return S_OK;
    RemoveRows(row, last - row + 1, false);
    return S_OK;
  });
}

STDMETHODIMP Chanbind::insertRows(DBROWCOUNT, DBROWCOUNT, DBROWCOUNT* inserted) {
  if (inserted) *inserted = 0;
  return E_NOTIMPL;
}

STDMETHODIMP Chanbind::find(DBROWCOUNT start, DB_LORDINAL column, VARIANT value, OSPFIND flags, OSPCOMP comparison,
                            DBROWCOUNT* found) {
  if (!found) return E_POINTER;
  *found = -1;
  if (!stories_ || column < 1 || column > stories_->ColumnCount() || start < 0 || start > stories_->RowCount()) {
    return E_INVALIDARG;
  }
  const bool up = (flags & OSPFIND_UP) != 0;
  const bool case_sensitive = (flags & OSPFIND_CASESENSITIVE) != 0;
  const long rows = stories_->RowCount();
  for (long row = up ? start : std::max(1L, static_cast<long>(start)); up ? row >= 1 : row <= rows;
       row += up ? -1 : 1) {
    Variant cell;
    stories_->Value(row, column, cell.get());
    if (Matches(*cell.get(), value, comparison, case_sensitive)) {
      *found = row;
      return S_OK;
    }
  }
  return E_FAIL;
}

STDMETHODIMP Chanbind::addOLEDBSimpleProviderListener(OLEDBSimpleProviderListener* listener) {
  listener_ = ComPtr<OLEDBSimpleProviderListener>(listener);
  return S_OK;
}

STDMETHODIMP Chanbind::removeOLEDBSimpleProviderListener(OLEDBSimpleProviderListener* listener) {
  if (listener_.get() == listener) listener_.reset();
  return S_OK;
}

STDMETHODIMP Chanbind::isAsync(BOOL* async) {
  if (!async) return E_POINTER;
  *async = async_ ? TRUE : FALSE;
  return S_OK;
}

STDMETHODIMP Chanbind::getEstimatedRows(DBROWCOUNT* rows) {
  if (!rows) return E_POINTER;
  *rows = stories_ ? stories_->gathered() : -1;
  return S_OK;
}

STDMETHODIMP Chanbind::stopTransfer() {
  return ScriptBoundary("Chanbind::stopTransfer", [&] { AbortLoad(); });
}

// Data source entry points.

STDMETHODIMP Chanbind::msDataSourceObject(BSTR qualifier, IUnknown** provider) {
  if (!provider) return E_POINTER;
  *provider = nullptr;
  return ScriptBoundary("Chanbind::msDataSourceObject", [&] {
    ComPtr<IChanbind3> self(static_cast<IChanbind3*>(this));
    std::wstring text = qualifier ? qualifier : L"";
    const size_t semicolon = text.find(L';');
    if (semicolon != std::wstring::npos) {
      sort_ = text.substr(semicolon + 1);
      text = text.substr(0, semicolon);
    }
    if (!text.empty()) {
      if (text[0] == L'/' || text[0] == L'\\') {
        comsupport::Bstr category(text.substr(1).c_str());
        const HRESULT hr = put_Category(category.get());
        if (FAILED(hr)) return hr;
      } else {
        Variant id(text.c_str());
        const HRESULT hr = put_ChannelId(*id.get());
        if (FAILED(hr)) return hr;
      }
      if (!async_explicit_) async_ = false;
      RunReset(true);
    } else if (!full_reset_done_) {
      if (!async_explicit_) async_ = true;
      if (auto_reset_ && !stories_) RunReset(true);
    } else if (stories_ && !stories_->loading()) {
      if (listener_) COMSUPPORT_CHECK(OLEDBSimpleProviderListener, listener_->transferComplete(OSPXFER_COMPLETE));
      SetValid(true);
      SetReadyState(READYSTATE_COMPLETE);
    }
    *provider = static_cast<OLEDBSimpleProvider*>(this);
    AddRef();
    return S_OK;
  });
}

STDMETHODIMP Chanbind::addDataSourceListener(IUnknown* listener) {
  data_source_listener_.reset();
  if (listener) listener->QueryInterface(IID_DataSourceListener, data_source_listener_.put_void());
  return S_OK;
}

// Script members over the table.

StoryObject* Chanbind::NewStory(const std::shared_ptr<StoryList>& list, std::shared_ptr<Row> row) const {
  return new StoryObject(list, std::move(row), client_);
}

IChanbindStoryCollection* Chanbind::NewCollection(std::vector<std::shared_ptr<Row>> rows) const {
  const long default_channel = monitor_ && monitor_->count() > 0 ? monitor_->IdAt(0) : 0;
  return new StoryCollection(stories_, std::move(rows), client_, default_channel);
}

STDMETHODIMP Chanbind::get_Story(long record, IChanbindStory** story) {
  if (!story) return E_POINTER;
  *story = nullptr;
  return ScriptBoundary("Chanbind::get_Story", [&] {
    RequireStoryList();
    if (record < 1 || record > stories_->RowCount()) Raise(IDS_INDEX_OUT_OF_BOUNDS);
    *story = NewStory(stories_, stories_->RowAt(record));
    return S_OK;
  });
}

STDMETHODIMP Chanbind::get_length(long* length) { return get_Count(length); }

STDMETHODIMP Chanbind::get_Count(long* count) {
  if (!count) return E_POINTER;
  *count = stories_ ? stories_->RowCount() : 0;
  return S_OK;
}

STDMETHODIMP Chanbind::get_All(IChanbindStoryCollection** all) {
  if (!all) return E_POINTER;
  *all = nullptr;
  return ScriptBoundary("Chanbind::get_All", [&] {
    RequireStoryList();
    *all = NewCollection(stories_->all());
    return S_OK;
  });
}

STDMETHODIMP Chanbind::get_Stories(IChanbindStoryCollection** stories) {
  if (!stories) return E_POINTER;
  *stories = nullptr;
  return ScriptBoundary("Chanbind::get_Stories", [&] {
    RequireStoryList();
    *stories = NewCollection(stories_->rows());
    return S_OK;
  });
}

STDMETHODIMP Chanbind::get__NewEnum(IUnknown** enumerator) {
  if (!enumerator) return E_POINTER;
  *enumerator = nullptr;
  return ScriptBoundary("Chanbind::get__NewEnum", [&] {
    RequireStoryList();
    *enumerator = NewStoryEnumerator(stories_, stories_->rows(), client_);
    return S_OK;
  });
}

STDMETHODIMP Chanbind::get_Column(BSTR title, long* column) {
  if (!column) return E_POINTER;
  *column = 0;
  return ScriptBoundary("Chanbind::get_Column", [&] {
    RequireStoryList();
    const long index = stories_->columns().Find(title ? title : L"");
    if (index < 1) return S_FALSE;
    *column = index;
    return S_OK;
  });
}

STDMETHODIMP Chanbind::Find(BSTR column, VARIANT value, VARIANT start, VARIANT compare, VARIANT flags, long* row) {
  if (!row) return E_POINTER;
  *row = 0;
  return ScriptBoundary("Chanbind::Find", [&] {
    RequireStoryList();
    const long index = stories_->columns().Find(column ? column : L"");
    if (index < 1) Raise(IDS_INVALID_COLUMN);
    DBROWCOUNT found = 0;
    const HRESULT hr = find(LongOr(start, 1), index, value, static_cast<OSPFIND>(LongOr(flags, OSPFIND_DEFAULT)),
                            static_cast<OSPCOMP>(LongOr(compare, OSPCOMP_EQ)), &found);
    if (hr == E_FAIL) return S_FALSE;
    if (FAILED(hr)) return hr;
    *row = found;
    return S_OK;
  });
}

STDMETHODIMP Chanbind::RefreshRows(long start, VARIANT count) {
  if (!stories_) return E_PENDING;
  return ScriptBoundary("Chanbind::RefreshRows", [&] {
    const long rows = stories_->RowCount();
    const long wanted = LongOr(count, rows - start + 1);
    if (start < 1 || wanted < 0 || start + wanted - 1 > rows) return E_INVALIDARG;
    for (long row = start; row < start + wanted; ++row) {
      if (row < read_low_ || row > read_high_) break;
      NotifyReadCells(row, false);
    }
    return S_OK;
  });
}

STDMETHODIMP Chanbind::FilterRows(long start, VARIANT count) {
  if (!stories_) return E_PENDING;
  return ScriptBoundary("Chanbind::FilterRows", [&] {
    const long rows = stories_->RowCount();
    const long wanted = LongOr(count, rows - std::max(1L, start) + 1);
    if (start < 0 || wanted < 0 || start + wanted - 1 > rows) return E_INVALIDARG;
    std::shared_ptr<StoryList> list = stories_;
    const long first = std::max(1L, start);
    const long last = start + wanted - 1;
    std::vector<long> rejected;
    bool accept_rest = false;
    for (long row = first; row <= last && !accept_rest; ++row) {
      const long verdict = AskFilter(list->RowAt(row));
      if (stories_ != list) return S_OK;
      if (verdict == 0) {
        rejected.push_back(row);
      } else if (verdict == 3) {
        for (long rest = row; rest <= last; ++rest) rejected.push_back(rest);
        break;
      } else if (verdict != -1 && verdict != 1) {
        accept_rest = true;
      }
    }
    for (auto it = rejected.rbegin(); it != rejected.rend(); ++it) {
      if (listener_) COMSUPPORT_CHECK(OLEDBSimpleProviderListener, listener_->aboutToDeleteRows(*it, 1));
      list->Remove(*it, 1);
      if (listener_) COMSUPPORT_CHECK(OLEDBSimpleProviderListener, listener_->deletedRows(*it, 1));
    }
    return S_OK;
  });
}

}  // namespace chanbind
