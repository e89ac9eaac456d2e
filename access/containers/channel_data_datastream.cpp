// How channel data sits in a datastream: object "INFO" holds one component whose fields are the
// information values; object "DATA2" holds two components per story, both named by the story
// id: type 1 with the story's fields, then type 2 with its attributes.
#include <new>

#include "number_text.h"
#include "ravlin_containers/channel_data_object.h"

namespace ravlin {

namespace {

const char kStreamName[] = "ChannelData";
const char kInfoSection[] = "INFO";
const char kInfoComponent[] = "Values";
const char kRecordSection[] = "DATA2";
const long kFieldsComponent = 1;
const long kAttributesComponent = 2;

DatastreamComponent Component(const std::string& name, long type, const std::vector<NamedText>& values) {
  DatastreamComponent component;
  component.name = name;
  component.type = type;
  for (const NamedText& value : values) component.fields.push_back({value.name, value.value});
  return component;
}

bool StoryIdFromName(const std::string& name, DWORD& story_id) {
  long value = 0;
  if (name.empty() || name[0] < '0' || name[0] > '9' || !ParseNumber32(name, value)) return false;
  story_id = static_cast<DWORD>(value);
  return true;
}

bool FillRecords(ChannelData& data, const DatastreamObject& section, std::string& error) {
  ChannelDataRecord* current = nullptr;
  for (const DatastreamComponent& component : section.components) {
    DWORD story_id = 0;
    if (!StoryIdFromName(component.name, story_id)) {
      error = "channel data: story component \"" + component.name.substr(0, 40) + "\" is not named by a story id";
      return false;
    }
    if (component.type == kFieldsComponent) {
      current = data.FindRecord(story_id);
      if (!current) current = data.AddRecord(story_id);
      if (!current) {
        error = "channel data: out of memory";
        return false;
      }
      for (const DatastreamField& field : component.fields) current->SetField(field.name.c_str(), field.data.c_str());
    } else if (component.type == kAttributesComponent && current && current->GetStoryId() == story_id) {
      for (const DatastreamField& field : component.fields)
        current->SetAttribute(field.name.c_str(), field.data.c_str());
    } else {
      error = "channel data: story component \"" + component.name + "\" of type " + std::to_string(component.type) +
              " does not follow the fields of that story";
      return false;
    }
  }
  return true;
}

}  // namespace

bool ChannelData::ToDatastream(Datastream& stream, std::string& error) {
  try {
    Datastream out;
    out.name = kStreamName;
    out.major = 2;
    out.minor = 0;
    comsupport::CriticalSectionGuard guard(lock_);
    DatastreamObject info;
    info.name = kInfoSection;
    info.components.push_back(Component(kInfoComponent, 0, info_));
    DatastreamObject records;
    records.name = kRecordSection;
    for (ChannelDataRecord* record : records_) {
      std::string id = std::to_string(record->GetStoryId());
      records.components.push_back(Component(id, kFieldsComponent, record->Fields()));
      records.components.push_back(Component(id, kAttributesComponent, record->Attributes()));
    }
    out.objects.push_back(std::move(info));
    out.objects.push_back(std::move(records));
    stream = std::move(out);
  } catch (const std::bad_alloc&) {
    error = "channel data: out of memory";
    return false;
  }
  return true;
}

ChannelData* ChannelData::FromDatastream(const Datastream& stream, std::string& error) {
  const DatastreamObject* info = nullptr;
  const DatastreamObject* records = nullptr;
  for (const DatastreamObject& object : stream.objects) {
    if (object.name == kInfoSection && !info) info = &object;
    else if (object.name == kRecordSection && !records) records = &object;
  }
  if (!info || !records) {
    error = std::string("channel data: the datastream has no \"") + (info ? kRecordSection : kInfoSection) + "\" object";
    return nullptr;
  }
  ChannelData* data = Create();
  if (!data) {
    error = "channel data: out of memory";
    return nullptr;
  }
  try {
    for (const DatastreamComponent& component : info->components)
      for (const DatastreamField& field : component.fields) data->SetInfoValue(field.name.c_str(), field.data.c_str());
    if (FillRecords(*data, *records, error)) return data;
  } catch (const std::bad_alloc&) {
    error = "channel data: out of memory";
  }
  data->Release();
  return nullptr;
}

ChannelData* ChannelData::FromText(const std::string& text, std::string& error) {
  try {
    Datastream stream;
    if (!ReadDatastream(text, stream, error)) return nullptr;
    return FromDatastream(stream, error);
  } catch (const std::bad_alloc&) {
    error = "channel data: out of memory";
    return nullptr;
  }
}

bool ChannelData::ToText(DatastreamForm form, std::string& text, std::string& error) {
  try {
    Datastream stream;
    return ToDatastream(stream, error) && WriteDatastream(stream, form, text, error);
  } catch (const std::bad_alloc&) {
    error = "channel data: out of memory";
    return false;
  }
}

bool ChannelData::Dump(const std::string& path, std::string& error) {
  try {
    Datastream stream;
    return ToDatastream(stream, error) && DumpDatastreamToFile(stream, path, error);
  } catch (const std::bad_alloc&) {
    error = "channel data: out of memory";
    return false;
  }
}

}  // namespace ravlin
