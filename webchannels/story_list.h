// The rows behind the page's bound table: one per accepted story of the monitored channels,
// the column map (title -> index, with each column's kind and converter), the queue of stories
// the filter has not yet seen, and the sort. Row numbers are 1-based as the data-binding
// consumer counts them; row 0 is the header. Owned by the control; story objects keep it alive.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "comsupport/bstr.h"
#include "sort_order.h"
#include "value_converters.h"

namespace chanbind {

enum class ColumnKind { kInternal = 0, kField = 1, kAttribute = 2 };

// Fixed column indexes (registered first, in this order).
enum FixedColumn {
  kInternalSortColumn = 0,
  kTitleColumn,
  kStoryTimeColumn,
  kIconColumn,
  kUnreadColumn,
  kChannelColumn,
  kIdColumn,
  kTypeColumn,
  kAttachmentTypeColumn,
  kAttachmentExtensionColumn,
  kChannelIdColumn,
  kHasAttachmentsColumn,
  kFixedColumnCount
};

class ColumnMap {
 public:
  ColumnMap();
  // The column's index, registering it (with kind) when absent.
  long Register(const std::wstring& title, ColumnKind kind);
  // -1 when absent.
  long Find(const std::wstring& title) const;
  long size() const { return static_cast<long>(titles_.size()); }
  const std::wstring& Title(long index) const { return titles_[index]; }
  ColumnKind Kind(long index) const { return kinds_[index]; }
  Converter ConverterOf(long index) const { return converters_[index]; }

 private:
  std::map<std::wstring, long> indexes_;
  std::vector<std::wstring> titles_;
  std::vector<ColumnKind> kinds_;
  std::vector<Converter> converters_;
};

// What the list needs to know of a monitored channel.
struct ChannelFacts {
  long id = 0;
  std::wstring name;
  long flags = 0;
};

struct PendingStory {
  long story_id = 0;
  std::shared_ptr<const ChannelFacts> channel;
  std::vector<std::pair<std::wstring, comsupport::Variant>> fields;
  std::vector<std::pair<std::wstring, comsupport::Variant>> attributes;
};

struct Row {
  long story_id = 0;
  long channel_id = 0;
  std::vector<comsupport::Variant> cells;  // by column index; shorter when later columns came
};

// Splits a channel's EnumStoryData answer (array format) into stories, in the client's order;
// with only, just the stories listed there.
std::vector<PendingStory> ParseStoryData(const VARIANT& data, const std::shared_ptr<const ChannelFacts>& channel,
                                         const std::vector<long>* only = nullptr);

class StoryList {
 public:
  // type_names: the eight-entry type table; module_path: for the icon addresses.
  StoryList(std::vector<std::wstring> type_names, std::string module_path);

  ColumnMap& columns() { return columns_; }
  const ColumnMap& columns() const { return columns_; }

  // The pending queue.
  void Queue(std::vector<PendingStory> stories);
  bool loading() const { return !pending_.empty(); }
  size_t pending() const { return pending_.size(); }
  PendingStory TakePending();
  void StopLoading() { pending_.clear(); }
  // Stories gathered for the list so far, before filtering.
  long gathered() const { return gathered_; }

  // A row for the story (its columns registered, its internal cells computed); not yet in the
  // table. The filter sees it through a story object before it is added.
  std::shared_ptr<Row> BuildRow(const PendingStory& story);
  // The row's values replaced by the story's (a change the client reported); it keeps its
  // place and its ordering key.
  void Refill(Row& row, const PendingStory& story);
  // Recomputes a row's internal cells after one of its values changed.
  void ComputeInternalCells(Row& row, const ChannelFacts* channel);
  // Adds the row at the end; its row number.
  long Append(std::shared_ptr<Row> row);
  void Insert(long row_number, std::shared_ptr<Row> row);
  void Remove(long first, long count);

  long RowCount() const { return static_cast<long>(rows_.size()); }
  long ColumnCount() const { return columns_.size() - 1; }
  // 0 when absent.
  long FindRow(long channel_id, long story_id) const;
  std::shared_ptr<Row> RowAt(long row_number) const { return rows_[row_number - 1]; }
  // The table's rows in their order, for the script's Stories collection.
  const std::vector<std::shared_ptr<Row>>& rows() const { return rows_; }
  // Every story read (accepted or not), for the script's All collection.
  const std::vector<std::shared_ptr<Row>>& all() const { return all_; }

  // The converted value (header titles on row 0).
  void Value(long row_number, long column, VARIANT* out) const;
  static void CellOf(const Row& row, long column, const ColumnMap& columns, VARIANT* out);
  void SetCell(long row_number, long column, const VARIANT& value);

  // Stable sort of the rows; ties keep the reading order.
  void Sort(const std::vector<SortKey>& keys, bool case_sensitive);

 private:
  ColumnMap columns_;
  std::vector<std::wstring> type_names_;
  std::string module_path_;
  std::deque<PendingStory> pending_;
  long gathered_ = 0;
  long next_sequence_ = 1;
  std::vector<std::shared_ptr<Row>> rows_;
  std::vector<std::shared_ptr<Row>> all_;
};

}  // namespace chanbind
