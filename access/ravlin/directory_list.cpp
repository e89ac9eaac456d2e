// The directory entry list (ZRPimboBuildDirectoryEntryList): one CSiteObj per usable entry of
// the client's channel directory, appended to the caller's pointer array.
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "client_pointer.h"
#include "com_values.h"
#include "command.h"
#include "operations.h"
#include "ravlin/site_obj.h"

namespace ravlin {

namespace {

using comsupport::ComPtr;
using comsupport::Variant;

// One entry's values by property code.
class EntryProperties {
 public:
  bool Read(const VARIANT& pair) {
    std::vector<Variant> parts;
    if (!ArrayElements(pair, parts) || parts.size() < 2) return false;
    if (!ArrayElements(*parts[0].get(), codes_) || !ArrayElements(*parts[1].get(), values_)) return false;
    return true;
  }
  const VARIANT* Find(long code) const {
    for (size_t i = 0; i < codes_.size() && i < values_.size(); ++i) {
      long present = 0;
      if (VariantToLong(*codes_[i].get(), present) && present == code) return values_[i].get();
    }
    return nullptr;
  }
  long Number(long code) const {
    long number = 0;
    const VARIANT* value = Find(code);
    return value && VariantToLong(*value, number) ? number : 0;
  }
  std::string Text(long code) const {
    std::string text;
    const VARIANT* value = Find(code);
    return value && VariantToText(*value, text) ? text : std::string();
  }

 private:
  std::vector<Variant> codes_;
  std::vector<Variant> values_;
};

// The keywords split at their first three ";": the first part is what comes before the first
// ";" (all of it without one); each later part is filled only when the ";" before it is found,
// and the last keeps whatever follows the third.
void SplitKeywords(const std::string& keywords, CSiteObj& site) {
  size_t start = 0;
  for (int part = 0; part < 4; ++part) {
    size_t end = part < 3 ? keywords.find(';', start) : std::string::npos;
    site.keywords[part].SetText(keywords.substr(start, end == std::string::npos ? std::string::npos : end - start).c_str());
    if (end == std::string::npos) return;
    start = end + 1;
  }
}

bool SubscribedIds(IZorvaneDirectory* directory, DATA_LIST& ids) {
  Variant answer;
  std::vector<Variant> elements;
  if (!Ok(directory->EnumEntries(DIR_ENUM_SUBSCRIBED, DIR_ENUM_FORMAT_ID_ARRAY, answer.put())) ||
      !ArrayElements(*answer.get(), elements))
    return false;
  for (const Variant& element : elements) {
    long id = 0;
    if (VariantToLong(*element.get(), id) && !ids.Add(static_cast<DWORD>(id))) return false;
  }
  return true;
}

}  // namespace

// (pointer array)
LONG BuildDirectoryEntryList(RavlinCommand& command) {
  DATA_LIST* sites = PointerOf<DATA_LIST>(command.arguments[0]);
  if (!sites) return 0;
  ComPtr<IZorvane4> client = ThreadClient();
  ComPtr<IZorvaneDirectory> directory;
  if (!client || !Ok(client->get_ChannelDirectory(directory.put())) || !directory) return 0;
  DATA_LIST subscribed(16);
  if (!SubscribedIds(directory.get(), subscribed)) return 0;
  Variant answer;
  std::vector<Variant> entries;
  if (!Ok(directory->EnumEntries(DIR_ENUM_ALL, DIR_ENUM_FORMAT_PROPERTY_ARRAY, answer.put())) ||
      !ArrayElements(*answer.get(), entries))
    return 0;
  for (const Variant& entry : entries) {
    EntryProperties properties;
    if (!properties.Read(*entry.get())) continue;
    DWORD id = static_cast<DWORD>(properties.Number(DIR_PROP_ID));
    std::string name = properties.Text(DIR_PROP_NAME);
    long state_flags = properties.Number(DIR_PROP_STATE_FLAGS);
    if (id == 0 || name.empty() || (state_flags & 1)) continue;
    std::unique_ptr<CSiteObj> site(new (std::nothrow) CSiteObj());
    if (!site) return 0;
    site->channel_id = id;
    site->name.SetText(name.c_str());
    site->state_flags = state_flags;
    site->type_flags = properties.Number(DIR_PROP_TYPE_FLAGS);
    site->attribute_flags = properties.Number(DIR_PROP_ATTRIBUTE_FLAGS);
    site->general_flags = properties.Number(DIR_PROP_GENERAL_FLAGS);
    site->description.SetText(properties.Text(DIR_PROP_DESCRIPTION).c_str());
    site->categories.SetText(properties.Text(DIR_PROP_CATEGORIES).c_str());
    site->form_file.SetText(properties.Text(DIR_PROP_FORM_FILE).c_str());
    site->time_added = properties.Number(DIR_PROP_TIME_ADDED);
    if (properties.Find(DIR_PROP_KEYWORD_MATCHES)) site->keyword_matches = properties.Number(DIR_PROP_KEYWORD_MATCHES);
    SplitKeywords(properties.Text(DIR_PROP_KEYWORDS), *site);
    site->subscribed = subscribed.Find(id) ? 1 : 0;
    if (!sites->Add(Word(site.get()))) return 0;
    site.release();  // the caller's now
  }
  return 1;
}

}  // namespace ravlin
