// Filling the table: Reset (synchronous, or step by step on the load timer), the script filter
// through OnFilter and returnValue, sorting, and the rows that follow client notifications.
#include <algorithm>

#include "chanbind_control.h"
#include "chanbind_resources.h"
#include "comsupport/com_error.h"
#include "comsupport/error_info.h"
#include "comsupport/this_module.h"
#include "script_errors.h"
#include "story_object.h"

namespace chanbind {

using comsupport::ComPtr;
using comsupport::Variant;

namespace {

constexpr size_t kSyncStoryBudget = 10000;
constexpr long kSyncRowBudget = 10000;
constexpr size_t kStepStoryBudget = 64;
constexpr long kStepRowBudget = 8;

std::vector<std::wstring> TypeNames() {
  std::vector<std::wstring> names;
  const std::wstring text = comsupport::ToWide(comsupport::LoadResourceString(IDS_TYPE_NAMES));
  size_t start = 0;
  while (start <= text.size() && names.size() < 64) {
    size_t comma = text.find(L',', start);
    if (comma == std::wstring::npos) comma = text.size();
    names.push_back(text.substr(start, comma - start));
    start = comma + 1;
  }
  // Entries 0-3 are all the plain story's name; the other types follow.
  std::vector<std::wstring> table(8);
  const std::wstring story = names.empty() ? L"Story" : names[0];
  for (int i = 0; i < 4; ++i) table[i] = story;
  for (size_t i = 1; i < names.size() && i < 5; ++i) table[3 + i] = names[i];
  return table;
}

VARIANT DispatchArgument(IDispatch* object) {
  VARIANT value;
  ::VariantInit(&value);
  value.vt = VT_DISPATCH;
  value.pdispVal = object;
  return value;
}

}  // namespace

std::shared_ptr<const ChannelFacts> Chanbind::FactsOf(IZorvaneChannel4_2* channel) {
  long id = 0;
  COMSUPPORT_CHECK(IZorvaneChannel, channel->get_Id(&id));
  auto found = channel_facts_.find(id);
  if (found != channel_facts_.end()) return found->second;
  auto facts = std::make_shared<ChannelFacts>();
  facts->id = id;
  comsupport::Bstr name;
  if (SUCCEEDED(channel->get_Name(name.put())) && name.get()) facts->name = name.get();
  channel->get_Flags(&facts->flags);
  channel_facts_[id] = facts;
  return facts;
}

void Chanbind::QueueMonitoredStories() {
  for (long position = monitor_->count() - 1; position >= 0; --position) {
    IZorvaneChannel4_2* channel = monitor_->At(position);
    auto facts = FactsOf(channel);
    Variant data;
    COMSUPPORT_CHECK(IZorvaneChannel2,
                     channel->EnumStoryData(STORY_ENUM_FLAG_ALLSTORIES, STORY_ENUM_FORMAT_ARRAY, data.put()));
    stories_->Queue(ParseStoryData(*data.get(), facts));
  }
}

void Chanbind::RequireStoryList() const {
  if (!stories_) Raise(IDS_NO_STORY_COLLECTION);
}

std::wstring Chanbind::EffectiveSort() const {
  if (!sort_.empty()) return sort_;
  if (sort_column_.empty()) return {};
  return sort_ascending_ ? sort_column_ : L"-" + sort_column_;
}

void Chanbind::ApplySort(bool bracket_read_cells) {
  const std::wstring expression = EffectiveSort();
  if (!stories_ || expression.empty()) return;
  const bool bracket = bracket_read_cells && listener_ && read_low_ <= read_high_;
  const long last = bracket ? std::min(read_high_, stories_->RowCount()) : 0;
  if (bracket) {
    for (long row = read_low_; row <= last; ++row) NotifyReadCells(row, true);
  }
  stories_->Sort(ParseSortExpression(expression), sort_case_sensitive_);
  if (bracket) {
    for (long row = read_low_; row <= last; ++row) NotifyReadCells(row, false);
  }
}

void Chanbind::NotifyReadCells(long row, bool before) {
  if (!listener_) return;
  for (size_t column = 1; column < read_columns_.size(); ++column) {
    if (!read_columns_[column]) continue;
    const long c = static_cast<long>(column);
    COMSUPPORT_CHECK(OLEDBSimpleProviderListener,
                     before ? listener_->aboutToChangeCell(row, c) : listener_->cellChanged(row, c));
  }
}

void Chanbind::MarkRead(long row, long column) {
  read_low_ = std::min(read_low_, row);
  read_high_ = std::max(read_high_, row);
  if (column >= static_cast<long>(read_columns_.size())) read_columns_.resize(column + 1, false);
  read_columns_[column] = true;
}

long Chanbind::AskFilter(const std::shared_ptr<Row>& row) {
  return_value_.put();
  if (HasEventSinks()) {
    ComPtr<StoryObject> story = ComPtr<StoryObject>::Attach(NewStory(stories_, row));
    Variant argument;
    *argument.put() = DispatchArgument(static_cast<IChanbindStory*>(story.Detach()));
    in_filter_ = true;
    Fire(0, {argument});
    in_filter_ = false;
  }
  if (return_value_.type() == VT_EMPTY || return_value_.type() == VT_NULL) return pending_loads_ == 1 ? 1 : 2;
  Variant number;
  if (FAILED(::VariantChangeType(number.get(), return_value_.get(), 0, VT_I4))) return 2;
  const long verdict = number.get()->lVal;
  return verdict < -1 || verdict > 3 ? 2 : verdict;
}

long Chanbind::LoadStep(size_t story_budget, long row_budget) {
  // Scripts may reset or drop the list from inside OnFilter: work on the list of this step.
  std::shared_ptr<StoryList> list = stories_;
  long accepted = 0;
  size_t examined = 0;
  bool accept_rest = false;
  while (list->loading() && examined < story_budget && accepted < row_budget) {
    PendingStory story = list->TakePending();
    ++examined;
    std::shared_ptr<Row> row = list->BuildRow(story);
    const long verdict = AskFilter(row);
    if (stories_ != list) return accepted;
    if (verdict == -1 || verdict == 1) {
      list->Append(row);
      ++accepted;
    } else if (verdict == 3) {
      list->StopLoading();
    } else if (verdict != 0) {
      list->Append(row);
      ++accepted;
      accept_rest = true;
      break;
    }
  }
  while (accept_rest && list->loading() && accepted < row_budget) {
    list->Append(list->BuildRow(list->TakePending()));
    ++accepted;
  }
  return accepted;
}

void Chanbind::FinishLoad(bool full_reset) {
  if (stories_) stories_->StopLoading();
  events_ |= RESET_EVENT;
  if (!full_reset) return;
  if (listener_) COMSUPPORT_CHECK(OLEDBSimpleProviderListener, listener_->transferComplete(OSPXFER_COMPLETE));
  SetValid(true);
  SetReadyState(READYSTATE_COMPLETE);
  pending_loads_ = std::max(0L, pending_loads_ - 1);
}

void Chanbind::AbortLoad() {
  if (!stories_ || !stories_->loading()) return;
  stories_->StopLoading();
  if (window_) ::KillTimer(window_.get(), kLoadTimer);
  if (full_reset_) {
    if (listener_) listener_->transferComplete(OSPXFER_ABORT);
    SetReadyState(READYSTATE_COMPLETE);
  }
  pending_loads_ = std::max(0L, pending_loads_ - 1);
}

HRESULT Chanbind::RunReset(bool full) {
  full = full || !stories_;
  AbortLoad();
  if (!EnsureWindow()) Raise(IDS_INIT_FAILED);
  if (full) {
    SetValid(true);
    SetReadyState(READYSTATE_LOADED);
    EnsureClient();
    if (!monitor_) ConnectMonitor();
    stories_ = std::make_shared<StoryList>(TypeNames(), comsupport::ModulePath(comsupport::ThisModule()));
    channel_facts_.clear();
    QueueMonitoredStories();
    read_low_ = 0x7FFFFFFF;
    read_high_ = static_cast<long>(0x80000000);
    read_columns_.assign(stories_->columns().size(), false);
    full_reset_ = true;
    full_reset_done_ = true;
  } else {
    full_reset_ = false;
  }
  std::shared_ptr<StoryList> reset_list = stories_;
  Fire(1, {comsupport::EventArgument(full)});
  if (!stories_ || stories_ != reset_list) return S_OK;  // a handler dropped or replaced the list
  ApplySort(!full);
  if (full) {
    if (data_source_listener_) data_source_listener_->dataMemberChanged(nullptr);
    SetReadyState(READYSTATE_INTERACTIVE);
    ++pending_loads_;
  }
  if (!stories_->loading()) {
    FinishLoad(full);
    return S_OK;
  }
  if (!HasEventSinks() && !async_explicit_) async_ = false;
  if (!async_) {
    std::shared_ptr<StoryList> list = stories_;
    const long first = list->RowCount() + 1;
    const long added = LoadStep(kSyncStoryBudget, kSyncRowBudget);
    if (stories_ != list) return S_OK;  // the filter reset the table: that reset finished it
    ApplySort(false);
    if (listener_ && added > 0) COMSUPPORT_CHECK(OLEDBSimpleProviderListener, listener_->rowsAvailable(first, added));
    FinishLoad(full);
    return S_OK;
  }
  ::SetTimer(window_.get(), kLoadTimer, 1, nullptr);
  return S_OK;
}

void Chanbind::OnLoadTimer() {
  ::KillTimer(window_.get(), kLoadTimer);
  if (!stories_ || !stories_->loading()) return;
  ComPtr<IChanbind3> self(static_cast<IChanbind3*>(this));
  std::shared_ptr<StoryList> list = stories_;
  const long first = list->RowCount() + 1;
  const long added = LoadStep(kStepStoryBudget, kStepRowBudget);
  if (stories_ != list) return;
  if (listener_ && added > 0) listener_->rowsAvailable(first, added);
  if (stories_->loading()) {
    UINT delay = static_cast<UINT>((added + 5) * 16);
    if ((embellish_ & ~EMBELLISH_SIZE) == 0) delay /= 2;
    ::SetTimer(window_.get(), kLoadTimer, delay, nullptr);
    return;
  }
  // Rows arrived in reading order; the sort in force orders them once all are there.
  ApplySort(true);
  FinishLoad(full_reset_);
}

STDMETHODIMP Chanbind::Reset(VARIANT read) {
  return ScriptBoundary("Chanbind::Reset", [&] {
    bool full = false;
    if (read.vt != VT_EMPTY && read.vt != VT_ERROR) {
      Variant flag;
      COMSUPPORT_CHECK(IChanbind2, ::VariantChangeType(flag.get(), &read, 0, VT_BOOL));
      full = flag.get()->boolVal != VARIANT_FALSE;
    }
    ComPtr<IChanbind3> self(static_cast<IChanbind3*>(this));
    return RunReset(full);
  });
}

// Rows that follow the client's notifications.

std::vector<PendingStory> Chanbind::ReadNotifiedStories(const Notification& notification) {
  if (!stories_ || !monitor_) return {};
  IZorvaneChannel4_2* channel = monitor_->ById(notification.channel_id);
  if (!channel) return {};
  auto facts = FactsOf(channel);
  Variant data;
  COMSUPPORT_CHECK(IZorvaneChannel2,
                   channel->EnumStoryData(STORY_ENUM_FLAG_ALLSTORIES, STORY_ENUM_FORMAT_ARRAY, data.put()));
  return ParseStoryData(*data.get(), facts, &notification.story_ids);
}

void Chanbind::OnStoriesAdded(const Notification& notification) {
  events_ |= NEW_STORY_EVENT;
  std::vector<PendingStory> added = ReadNotifiedStories(notification);
  // The client call may have let a notification end the table.
  if (added.empty() || !stories_) return;
  std::shared_ptr<StoryList> list = stories_;
  size_t examined = 0;
  long inserted = 0;
  bool accept_rest = false;
  for (auto& story : added) {
    if (examined++ >= kSyncStoryBudget || inserted >= kSyncRowBudget) break;
    std::shared_ptr<Row> row = list->BuildRow(story);
    const long verdict = accept_rest ? 1 : AskFilter(row);
    if (stories_ != list) return;
    if (verdict == 0) continue;
    if (verdict == 3) break;
    if (verdict != -1 && verdict != 1) accept_rest = true;
    const long position = list->RowCount() + 1;
    if (listener_) listener_->aboutToInsertRows(position, 1);
    list->Append(row);
    if (listener_) listener_->insertedRows(position, 1);
    ++inserted;
    Fire(5, {Variant(position)});
  }
}

void Chanbind::OnStoriesChanged(const Notification& notification) {
  events_ |= STORY_EVENT;
  const std::vector<PendingStory> changed = ReadNotifiedStories(notification);
  if (changed.empty() || !stories_) return;
  std::shared_ptr<StoryList> list = stories_;
  for (const PendingStory& story : changed) {
    const long position = list->FindRow(notification.channel_id, story.story_id);
    if (position == 0) continue;
    const bool was_read = position >= read_low_ && position <= read_high_;
    if (was_read) NotifyReadCells(position, true);
    list->Refill(*list->RowAt(position), story);
    if (was_read) NotifyReadCells(position, false);
    Fire(6, {Variant(position), Variant(notification.events)});
    if (stories_ != list) return;
  }
}

void Chanbind::RemoveRows(long first, long count, bool raise_deleted) {
  if (!stories_ || count <= 0) return;
  std::shared_ptr<StoryList> list = stories_;
  for (long position = first + count - 1; position >= first; --position) {
    ComPtr<StoryObject> story;
    if (raise_deleted) story = ComPtr<StoryObject>::Attach(NewStory(list, list->RowAt(position)));
    if (listener_) listener_->aboutToDeleteRows(position, 1);
    list->Remove(position, 1);
    if (listener_) listener_->deletedRows(position, 1);
    if (raise_deleted) {
      Variant argument;
      *argument.put() = DispatchArgument(static_cast<IChanbindStory*>(story.Detach()));
      Fire(7, {argument, Variant(position)});
    }
    if (stories_ != list) return;
  }
}

void Chanbind::OnStoriesDeleted(const Notification& notification) {
  events_ |= DELETED_STORY_EVENT;
  if (!stories_) return;
  for (long id : notification.story_ids) {
    if (!stories_) return;
    const long position = stories_->FindRow(notification.channel_id, id);
    if (position != 0) RemoveRows(position, 1, true);
  }
}

void Chanbind::OnChannelDeleted(long channel_id) {
  if (stories_) {
    for (long position = stories_->RowCount(); position >= 1 && stories_; --position) {
      if (stories_->RowAt(position)->channel_id != channel_id) continue;
      if (listener_) listener_->aboutToDeleteRows(position, 1);
      stories_->Remove(position, 1);
      if (listener_) listener_->deletedRows(position, 1);
    }
  }
  if (monitor_) {
    monitor_->Remove(channel_id);
    if (monitor_->count() == 0) {
      SetValid(false);
      SetReadyState(READYSTATE_COMPLETE);
    }
  }
}

}  // namespace chanbind
