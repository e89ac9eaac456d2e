// CService: how a story is presented through its scroller format (mode, field templates,
// parameters), its headline and its summary.
#include <string>
#include <utility>
#include <vector>

#include "scroller_format.h"
#include "comsupport/boundary.h"
#include "service_state.h"

namespace {

using vinnet::ScrollerFormat;

// The story's own format: its "Format" attribute (translated, else the default), its
// "Scroller Field" attribute, else the channel's.
ScrollerFormat StoryFormat(CService::State& state, ICHANNELDATARECORD& record) {
  CString value;
  if (vinnet::AttributeText(record, "Format", value)) {
    CString scroller;
    if (!CService::TranslateFormatToScrollerField(value.c_str(), scroller)) scroller = VINNET_DEFAULT_SCROLLER_FORMAT;
    return vinnet::ParseScrollerFormat(scroller);
  }
  if (vinnet::AttributeText(record, "Scroller Field", value) && !value.empty())
    return vinnet::ParseScrollerFormat(value);
  return vinnet::ParseScrollerFormat(state.scroller_format);
}

// The headline's format: the story's "Scroller Field", the data's "Scroller Field", the default.
ScrollerFormat HeadlineFormat(CService::State& state, ICHANNELDATARECORD& record) {
  CString value;
  if (vinnet::AttributeText(record, "Scroller Field", value) && !value.empty())
    return vinnet::ParseScrollerFormat(value);
  if (state.data && vinnet::InfoText(*state.data, "Scroller Field", value) && !value.empty())
    return vinnet::ParseScrollerFormat(value);
  return vinnet::ParseScrollerFormat(VINNET_DEFAULT_SCROLLER_FORMAT);
}

CString Expand(ICHANNELDATARECORD& record, const CString& field_template) {
  return vinnet::ExpandTemplate(field_template.c_str(), [&](const CString& name, CString& value) {
    return vinnet::FieldText(record, name.c_str(), value);
  });
}

CString ParameterFieldName(const char* kind, int number) {
  return CString("Parameter ") + kind + " " + std::to_string(number);
}

std::vector<std::pair<CString, CString>> Parameters(ICHANNELDATARECORD& record) {
  std::vector<std::pair<CString, CString>> parameters;
  for (int number = 1;; ++number) {
    CString name, value;
    if (!vinnet::FieldText(record, ParameterFieldName("Name", number).c_str(), name)) break;
    vinnet::FieldText(record, ParameterFieldName("Value", number).c_str(), value);
    parameters.emplace_back(name, value);
  }
  return parameters;
}

bool HasTextPair(int mode) { return mode == 1 || mode == 3; }
bool HasParameterList(int mode) { return mode == 2 || (mode >= 4 && mode <= 7); }

// The second template of a text-pair format, "%Text%" when it has none.
CString SecondTemplate(const ScrollerFormat& format) {
  return format.pairs.size() > 1 ? format.pairs[1].field_template : CString("%Text%");
}

CString FirstTemplate(const ScrollerFormat& format) {
  return format.pairs.empty() ? CString() : format.pairs[0].field_template;
}

void AppendWord(CString& line, const CString& word) {
  if (word.empty()) return;
  if (!line.empty()) line += ' ';
  line += word;
}

}  // namespace

int CService::GetScrollerMode(long index) {
  return comsupport::Boundary("CService::GetScrollerMode", 0, [&]() -> int {
    vinnet::ServiceGuard guard(*state_);
    auto record = vinnet::RecordAt(state_->data.get(), index);
    return record ? StoryFormat(*state_, *record).mode : 0;
  });
}

int CService::GetScrollerField(long index, int n, CString& field_template, int& number) {
  return comsupport::Boundary("CService::GetScrollerField", 0, [&]() -> int {
    vinnet::ServiceGuard guard(*state_);
    field_template.clear();
    number = 0;
    auto record = vinnet::RecordAt(state_->data.get(), index);
    if (!record || n < 0) return 0;
    ScrollerFormat format = StoryFormat(*state_, *record);
    if (static_cast<size_t>(n) >= format.pairs.size()) return 0;
    field_template = format.pairs[n].field_template;
    number = format.pairs[n].number;
    return 1;
  });
}

int CService::GetNoParameters(long index) {
  return comsupport::Boundary("CService::GetNoParameters", 0, [&]() -> int {
    vinnet::ServiceGuard guard(*state_);
    auto record = vinnet::RecordAt(state_->data.get(), index);
    return record ? static_cast<int>(Parameters(*record).size()) : 0;
  });
}

int CService::GetParameterNameValue(long index, int i, CString& name, CString& value) {
  return comsupport::Boundary("CService::GetParameterNameValue", 0, [&]() -> int {
    vinnet::ServiceGuard guard(*state_);
    name.clear();
    value.clear();
    auto record = vinnet::RecordAt(state_->data.get(), index);
    if (!record || i < 0) return 0;
    auto parameters = Parameters(*record);
    if (static_cast<size_t>(i) >= parameters.size()) return 0;
    name = parameters[i].first;
    value = parameters[i].second;
    return 1;
  });
}

CString CService::ExpandScrollerParms(long index, const char* field_template) {
  return comsupport::Boundary("CService::ExpandScrollerParms", CString(), [&]() -> CString {
    vinnet::ServiceGuard guard(*state_);
    auto record = vinnet::RecordAt(state_->data.get(), index);
    if (!record || !field_template) return CString();
    return Expand(*record, field_template);
  });
}

CString CService::GetStorySummary(long index) {
  return comsupport::Boundary("CService::GetStorySummary", CString(), [&]() -> CString {
    vinnet::ServiceGuard guard(*state_);
    auto record = vinnet::RecordAt(state_->data.get(), index);
    if (!record) return CString();
    ScrollerFormat format = StoryFormat(*state_, *record);
    CString summary;
    if (HasTextPair(format.mode)) {
      CString second = Expand(*record, SecondTemplate(format));
      summary = Expand(*record, FirstTemplate(format)) + "@@" + (second.empty() ? "No Summary Available" : second);
    } else if (HasParameterList(format.mode)) {
      for (const auto& [name, value] : Parameters(*record)) summary += Expand(*record, name) + "@@" + value + "&&";
    }
    return summary;
  });
}

int CService::IsStorySummaryAvailable(long index) {
  return comsupport::Boundary("CService::IsStorySummaryAvailable", 0, [&]() -> int {
    vinnet::ServiceGuard guard(*state_);
    auto record = vinnet::RecordAt(state_->data.get(), index);
    if (!record) return 0;
    ScrollerFormat format = StoryFormat(*state_, *record);
    if (HasTextPair(format.mode)) return Expand(*record, SecondTemplate(format)).empty() ? 0 : 1;
    if (HasParameterList(format.mode)) return Parameters(*record).empty() ? 0 : 1;
    return 0;
  });
}

CString CService::GetStoryHeadline(long index) {
  return comsupport::Boundary("CService::GetStoryHeadline", CString(), [&]() -> CString {
    vinnet::ServiceGuard guard(*state_);
    auto record = vinnet::RecordAt(state_->data.get(), index);
    if (!record) return CString();
    const CString key = std::to_string(record->GetStoryId());
    CString headline;
    if (state_->cache.Lookup(key, headline)) return headline;

    ScrollerFormat format = HeadlineFormat(*state_, *record);
    size_t templates = 0;
    switch (format.mode) {
      case 1: case 3: templates = 1; break;
      case 2: case 4: case 5: templates = 2; break;
      // Mode 6 is the first template followed by the further ones, mode 7 every template: the
      // same line.
      case 6: case 7: templates = format.pairs.size(); break;
      default: break;
    }
    for (size_t i = 0; i < templates && i < format.pairs.size(); ++i)
      AppendWord(headline, Expand(*record, format.pairs[i].field_template));
    state_->cache.SetAt(key, headline);
    return headline;
  });
}
