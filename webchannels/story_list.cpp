#include "story_list.h"

#include <algorithm>

#include "comsupport/registry.h"

namespace chanbind {

using comsupport::Variant;

ColumnMap::ColumnMap() {
  static const std::pair<const wchar_t*, ColumnKind> kFixed[] = {
      {L"INTERNAL_SORT", ColumnKind::kInternal},   {L"Title", ColumnKind::kField},
      {L"Story Time", ColumnKind::kAttribute},     {L"ICON", ColumnKind::kInternal},
      {L"UNREAD", ColumnKind::kInternal},          {L"CHANNEL", ColumnKind::kInternal},
      {L"ID", ColumnKind::kInternal},              {L"TYPE", ColumnKind::kInternal},
      {L"ATTACHMENT_TYPE", ColumnKind::kInternal}, {L"ATTACHMENT_EXTENSION", ColumnKind::kInternal},
      {L"CHANNEL_ID", ColumnKind::kInternal},      {L"HASATTACHMENTS", ColumnKind::kInternal},
  };
  for (const auto& [title, kind] : kFixed) Register(title, kind);
}

long ColumnMap::Register(const std::wstring& title, ColumnKind kind) {
  auto found = indexes_.find(title);
  if (found != indexes_.end()) return found->second;
  const long index = static_cast<long>(titles_.size());
  indexes_.emplace(title, index);
  titles_.push_back(title);
  kinds_.push_back(kind);
  // Computed columns are stored as the page reads them.
  converters_.push_back(kind == ColumnKind::kInternal ? Converter::kNone : ConverterForTitle(title));
  return index;
}

long ColumnMap::Find(const std::wstring& title) const {
  auto found = indexes_.find(title);
  return found == indexes_.end() ? -1 : found->second;
}

namespace {

// The elements of a one-dimensional VARIANT array held in value (by value or reference).
class VariantArrayView {
 public:
  explicit VariantArrayView(const VARIANT& value) {
    const VARIANT* inner = &value;
    if (inner->vt == (VT_BYREF | VT_VARIANT) && inner->pvarVal) inner = inner->pvarVal;
    SAFEARRAY* array = nullptr;
    if (inner->vt == (VT_ARRAY | VT_VARIANT)) array = inner->parray;
    if (inner->vt == (VT_BYREF | VT_ARRAY | VT_VARIANT) && inner->pparray) array = *inner->pparray;
    if (!array || ::SafeArrayGetDim(array) != 1) return;
    LONG low = 0, high = -1;
    if (FAILED(::SafeArrayGetLBound(array, 1, &low)) || FAILED(::SafeArrayGetUBound(array, 1, &high))) return;
    if (FAILED(::SafeArrayAccessData(array, reinterpret_cast<void**>(&data_)))) return;
    array_ = array;
    count_ = high - low + 1;
  }
  ~VariantArrayView() {
    if (array_) ::SafeArrayUnaccessData(array_);
  }
  VariantArrayView(const VariantArrayView&) = delete;
  VariantArrayView& operator=(const VariantArrayView&) = delete;
  long size() const { return count_; }
  const VARIANT& operator[](long index) const { return data_[index]; }

 private:
  SAFEARRAY* array_ = nullptr;
  VARIANT* data_ = nullptr;
  long count_ = 0;
};

long AsLong(const VARIANT& value) {
  VARIANT number;
  ::VariantInit(&number);
  if (FAILED(::VariantChangeType(&number, const_cast<VARIANT*>(&value), 0, VT_I4))) return 0;
  return number.lVal;
}

std::wstring AsText(const VARIANT& value) {
  if (value.vt == VT_BSTR && value.bstrVal) return value.bstrVal;
  return {};
}

bool IsString(const VARIANT& value) { return value.vt == VT_BSTR; }

bool AsBool(const Row& row, const ColumnMap& columns, const wchar_t* title) {
  const long column = columns.Find(title);
  if (column < 0) return false;
  Variant converted;
  StoryList::CellOf(row, column, columns, converted.get());
  if (converted.type() == VT_BOOL) return converted.get()->boolVal != VARIANT_FALSE;
  if (converted.type() == VT_EMPTY || converted.type() == VT_NULL) return false;
  return AsLong(*converted.get()) != 0;
}

const VARIANT* RawCell(const Row& row, const ColumnMap& columns, const wchar_t* title) {
  const long column = columns.Find(title);
  if (column < 0 || column >= static_cast<long>(row.cells.size())) return nullptr;
  return row.cells[column].get();
}

bool CellIsString(const Row& row, const ColumnMap& columns, const wchar_t* title) {
  const VARIANT* cell = RawCell(row, columns, title);
  return cell && IsString(*cell);
}

std::wstring Lower(std::wstring text) {
  for (auto& c : text) c = static_cast<wchar_t>(towlower(c));
  return text;
}

// The registered description of a file type (".txt" -> "Text Document"); empty when none.
std::wstring FileTypeDescription(const std::wstring& extension) {
  wchar_t class_name[256] = {};
  LONG size = sizeof(class_name);
  const std::wstring key = L"." + extension;
  if (::RegQueryValueW(HKEY_CLASSES_ROOT, key.c_str(), class_name, &size) != ERROR_SUCCESS || !class_name[0]) return {};
  wchar_t description[256] = {};
  size = sizeof(description);
  if (::RegQueryValueW(HKEY_CLASSES_ROOT, class_name, description, &size) != ERROR_SUCCESS) return {};
  return description;
}

}  // namespace

std::vector<PendingStory> ParseStoryData(const VARIANT& data, const std::shared_ptr<const ChannelFacts>& channel,
                                         const std::vector<long>* only) {
  std::vector<PendingStory> stories;
  std::map<long, size_t> by_id;
  VariantArrayView parts(data);
  if (parts.size() < 3) return stories;
  auto take = [&](const VARIANT& part, bool fields) {
    VariantArrayView triple(part);
    if (triple.size() < 3) return;
    VariantArrayView ids(triple[0]), names(triple[1]), values(triple[2]);
    const long count = std::min(ids.size(), std::min(names.size(), values.size()));
    for (long i = 0; i < count; ++i) {
      const long id = AsLong(ids[i]);
      if (only && std::find(only->begin(), only->end(), id) == only->end()) continue;
      auto found = by_id.find(id);
      if (found == by_id.end()) {
        found = by_id.emplace(id, stories.size()).first;
        PendingStory story;
        story.story_id = id;
        story.channel = channel;
        stories.push_back(std::move(story));
      }
      Variant value;
      ::VariantCopy(value.get(), const_cast<VARIANT*>(&values[i]));
      auto& list = fields ? stories[found->second].fields : stories[found->second].attributes;
      list.emplace_back(AsText(names[i]), value);
    }
  };
  take(parts[1], true);
  take(parts[2], false);
  return stories;
}

StoryList::StoryList(std::vector<std::wstring> type_names, std::string module_path)
    : type_names_(std::move(type_names)), module_path_(std::move(module_path)) {
  type_names_.resize(8);
}

void StoryList::Queue(std::vector<PendingStory> stories) {
  gathered_ += static_cast<long>(stories.size());
  for (auto& story : stories) pending_.push_back(std::move(story));
}

PendingStory StoryList::TakePending() {
  PendingStory story = std::move(pending_.front());
  pending_.pop_front();
  return story;
}

std::shared_ptr<Row> StoryList::BuildRow(const PendingStory& story) {
  auto row = std::make_shared<Row>();
  row->cells.resize(columns_.size());
  row->cells[kInternalSortColumn] = Variant(next_sequence_++);
  Refill(*row, story);
  all_.push_back(row);
  return row;
}

void StoryList::Refill(Row& row, const PendingStory& story) {
  Variant order = row.cells.empty() ? Variant() : row.cells[kInternalSortColumn];
  row.story_id = story.story_id;
  row.channel_id = story.channel ? story.channel->id : 0;
  row.cells.assign(columns_.size(), Variant());
  row.cells[kInternalSortColumn] = order;
  auto store = [&](const std::wstring& title, const Variant& value, ColumnKind kind) {
    const long column = columns_.Register(title, kind);
    if (column >= static_cast<long>(row.cells.size())) row.cells.resize(column + 1);
    row.cells[column] = value;
  };
  for (const auto& [title, value] : story.fields) store(title, value, ColumnKind::kField);
  for (const auto& [title, value] : story.attributes) store(title, value, ColumnKind::kAttribute);
  ComputeInternalCells(row, story.channel.get());
}

void StoryList::ComputeInternalCells(Row& row, const ChannelFacts* channel) {
  if (row.cells.size() < static_cast<size_t>(kFixedColumnCount)) row.cells.resize(kFixedColumnCount);
  const bool headliner = channel && (channel->flags & 0x1000) != 0;  // CHN_FLAG_HEADLINER

  VARIANT* unread = row.cells[kUnreadColumn].put();
  unread->vt = VT_BOOL;
  unread->boolVal = AsBool(row, columns_, L"READ") ? VARIANT_FALSE : VARIANT_TRUE;

  if (!IsString(*row.cells[kChannelColumn].get()) && channel) row.cells[kChannelColumn] = Variant(channel->name.c_str());
  row.cells[kIdColumn] = Variant(row.story_id);
  row.cells[kChannelIdColumn] = Variant(row.channel_id);

  int type_index = 0;
  if (!headliner && !CellIsString(row, columns_, L"URL") && !CellIsString(row, columns_, L"TEXT")) {
    const VARIANT* vessik_type = RawCell(row, columns_, L"VESSIK_TYPE");
    const long bits = vessik_type ? AsLong(*vessik_type) : 0;
    if (bits & 4) {
      type_index = 4;
    } else if (bits & 16) {
      type_index = 5;
    } else if (bits & 2) {
      type_index = 6;
    } else {
      type_index = 7;
    }
  }
  row.cells[kTypeColumn] = Variant(type_names_[type_index].c_str());

  bool has_attachments = false;
  if (AsBool(row, columns_, L"HAS_ATTACHMENTS")) {
    const VARIANT* second = RawCell(row, columns_, L"ATTACHMENT_URL_2");
    const VARIANT* first = RawCell(row, columns_, L"ATTACHMENT_URL_1");
    if (second && IsString(*second) && ::SysStringLen(second->bstrVal) > 1) {
      has_attachments = true;
    } else if (first && IsString(*first) && ::SysStringLen(first->bstrVal) > 1) {
      const std::wstring url = first->bstrVal;
      const size_t dot = url.rfind(L'.');
      has_attachments = dot == std::wstring::npos || Lower(url.substr(dot + 1, 3)) != L"htm";
    }
  }
  VARIANT* has = row.cells[kHasAttachmentsColumn].put();
  has->vt = VT_BOOL;
  has->boolVal = has_attachments ? VARIANT_TRUE : VARIANT_FALSE;

  long code = type_index;
  if (type_index == 0) {
    if (AsBool(row, columns_, L"TEXT")) {
      code += 1024;
    } else if (AsBool(row, columns_, L"STORY_LOCAL")) {
      code += 2;
    }
  }
  if (!headliner) {
    if (AsBool(row, columns_, L"KEEP")) code += 8;
    if (AsBool(row, columns_, L"VESSIK_SIGNED")) code += 16;
  }
  const std::string icon = "res://" + module_path_ + "/#" + std::to_string(16 + code);
  row.cells[kIconColumn] = Variant(icon);

  std::wstring extension;
  const VARIANT* file_name = RawCell(row, columns_, L"FILENAME");
  const VARIANT* url = RawCell(row, columns_, L"URL");
  if (file_name && IsString(*file_name)) {
    const std::wstring name = file_name->bstrVal ? file_name->bstrVal : L"";
    const size_t slash = name.find_last_of(L"\\/");
    const std::wstring last = slash == std::wstring::npos ? name : name.substr(slash + 1);
    const size_t dot = last.rfind(L'.');
    if (dot != std::wstring::npos) extension = last.substr(dot + 1);
  } else if (url && IsString(*url) && !AsBool(row, columns_, L"STORY_LOCAL")) {
    std::wstring address = url->bstrVal ? url->bstrVal : L"";
    address = address.substr(0, address.find_first_of(L"?#"));
    const size_t slash = address.find_last_of(L"\\/");
    const std::wstring last = slash == std::wstring::npos ? address : address.substr(slash + 1);
    const size_t dot = last.rfind(L'.');
    if (dot != std::wstring::npos) {
      const std::wstring candidate = last.substr(dot + 1);
      const std::wstring lower = Lower(candidate);
      if (candidate.size() < 7 && lower != L"asp" && lower != L"shtml" && lower != L"pl" && lower != L"cgi") {
        extension = candidate;
      }
    }
  }
  row.cells[kAttachmentExtensionColumn].put();
  row.cells[kAttachmentTypeColumn].put();
  if (!extension.empty()) {
    row.cells[kAttachmentExtensionColumn] = Variant(extension.c_str());
    const std::wstring description = FileTypeDescription(extension);
    if (!description.empty()) row.cells[kAttachmentTypeColumn] = Variant(description.c_str());
  }
}

long StoryList::Append(std::shared_ptr<Row> row) {
  rows_.push_back(std::move(row));
  return RowCount();
}

void StoryList::Insert(long row_number, std::shared_ptr<Row> row) {
  row_number = std::max(1L, std::min(row_number, RowCount() + 1));
  rows_.insert(rows_.begin() + (row_number - 1), std::move(row));
}

void StoryList::Remove(long first, long count) {
  if (first < 1 || count <= 0 || first > RowCount()) return;
  const long end = std::min(RowCount() + 1, first + count);
  rows_.erase(rows_.begin() + (first - 1), rows_.begin() + (end - 1));
}

long StoryList::FindRow(long channel_id, long story_id) const {
  for (size_t i = 0; i < rows_.size(); ++i) {
    if (rows_[i]->story_id == story_id && rows_[i]->channel_id == channel_id) return static_cast<long>(i) + 1;
  }
  return 0;
}

void StoryList::CellOf(const Row& row, long column, const ColumnMap& columns, VARIANT* out) {
  ::VariantClear(out);
  if (column < 0 || column >= static_cast<long>(row.cells.size())) return;
  ConvertValue(columns.ConverterOf(column), *row.cells[column].get(), out);
}

void StoryList::Value(long row_number, long column, VARIANT* out) const {
  ::VariantClear(out);
  if (row_number == 0) {
    if (column >= 0 && column < columns_.size()) {
      out->vt = VT_BSTR;
      out->bstrVal = ::SysAllocString(columns_.Title(column).c_str());
    }
    return;
  }
  if (row_number < 1 || row_number > RowCount()) return;
  CellOf(*rows_[row_number - 1], column, columns_, out);
}

void StoryList::SetCell(long row_number, long column, const VARIANT& value) {
  if (row_number < 1 || row_number > RowCount() || column < 0 || column >= columns_.size()) return;
  Row& row = *rows_[row_number - 1];
  if (column >= static_cast<long>(row.cells.size())) row.cells.resize(column + 1);
  ::VariantCopy(row.cells[column].get(), const_cast<VARIANT*>(&value));
}

void StoryList::Sort(const std::vector<SortKey>& keys, bool case_sensitive) {
  struct ResolvedKey {
    long column;
    bool ascending;
    VARTYPE type;
  };
  std::vector<ResolvedKey> resolved;
  for (const auto& key : keys) {
    const long column = columns_.Find(key.column);
    if (column < 0) continue;
    // The column's type is that of its first non-empty value.
    VARTYPE type = VT_EMPTY;
    for (const auto& row : rows_) {
      Variant value;
      CellOf(*row, column, columns_, value.get());
      if (value.type() != VT_EMPTY && value.type() != VT_NULL) {
        type = value.type();
        break;
      }
    }
    resolved.push_back({column, key.ascending, type});
  }
  if (resolved.empty()) return;
  std::stable_sort(rows_.begin(), rows_.end(), [&](const std::shared_ptr<Row>& a, const std::shared_ptr<Row>& b) {
    for (const auto& key : resolved) {
      Variant left, right;
      CellOf(*a, key.column, columns_, left.get());
      CellOf(*b, key.column, columns_, right.get());
      int order = CompareValues(*left.get(), *right.get(), key.type, case_sensitive);
      if (order != 0) return key.ascending ? order < 0 : order > 0;
    }
    return false;
  });
}

}  // namespace chanbind
