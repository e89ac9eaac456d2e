#include <new>

#include "number_text.h"
#include "ravlin_containers/channel_data_object.h"

namespace ravlin {

namespace {

const NamedText* FindValue(const std::vector<NamedText>& values, const char* name) {
  if (!name) return nullptr;
  for (const NamedText& value : values)
    if (value.name == name) return &value;
  return nullptr;
}

int SetValue(std::vector<NamedText>& values, const char* name, const char* text) {
  if (!name || !text) return 0;
  try {
    for (NamedText& value : values) {
      if (value.name == name) {
        value.value = text;
        return 1;
      }
    }
    values.push_back({name, text});
  } catch (const std::bad_alloc&) {
    return 0;
  }
  return 1;
}

int CopyValue(const std::vector<NamedText>& values, const char* name, QMBuffer& out) {
  const NamedText* value = FindValue(values, name);
  if (!value) return 0;
  return out.SetBytes(value->value.data(), static_cast<long>(value->value.size())) ? 1 : 0;
}

int NumberValue(const std::vector<NamedText>& values, const char* name, long& out) {
  const NamedText* value = FindValue(values, name);
  return value && ParseNumber32(value->value, out) ? 1 : 0;
}

}  // namespace

ChannelDataRecord* ChannelDataRecord::Create(DWORD story_id) {
  return new (std::nothrow) ChannelDataRecord(story_id);
}

DWORD ChannelDataRecord::GetStoryId() { return story_id_; }

int ChannelDataRecord::GetField(const char* name, QMBuffer& value) {
  comsupport::CriticalSectionGuard guard(lock_);
  return CopyValue(fields_, name, value);
}

int ChannelDataRecord::GetFieldNumber(const char* name, long& value) {
  comsupport::CriticalSectionGuard guard(lock_);
  return NumberValue(fields_, name, value);
}

int ChannelDataRecord::SetField(const char* name, const char* value) {
  comsupport::CriticalSectionGuard guard(lock_);
  return SetValue(fields_, name, value);
}

int ChannelDataRecord::SetFieldNumber(const char* name, long value) {
  comsupport::CriticalSectionGuard guard(lock_);
  try {
    return SetValue(fields_, name, NumberText(value).c_str());
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

int ChannelDataRecord::GetAttribute(const char* name, QMBuffer& value) {
  comsupport::CriticalSectionGuard guard(lock_);
  return CopyValue(attributes_, name, value);
}

int ChannelDataRecord::GetAttributeNumber(const char* name, long& value) {
  comsupport::CriticalSectionGuard guard(lock_);
  return NumberValue(attributes_, name, value);
}

int ChannelDataRecord::SetAttribute(const char* name, const char* value) {
  comsupport::CriticalSectionGuard guard(lock_);
  return SetValue(attributes_, name, value);
}

long ChannelDataRecord::AddRef() {
  comsupport::CriticalSectionGuard guard(lock_);
  return ++count_;
}

long ChannelDataRecord::Release() {
  {
    comsupport::CriticalSectionGuard guard(lock_);
    if (count_ > 1) return --count_;
    count_ = 0;
  }
  delete this;
  return 0;
}

std::vector<NamedText> ChannelDataRecord::Fields() {
  comsupport::CriticalSectionGuard guard(lock_);
  return fields_;
}

std::vector<NamedText> ChannelDataRecord::Attributes() {
  comsupport::CriticalSectionGuard guard(lock_);
  return attributes_;
}

}  // namespace ravlin
