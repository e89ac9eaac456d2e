// The channel data object behind ICHANNELDATA2 and its records, with what Ravlin needs to fill
// it and to carry it as a datastream (sections "INFO" and "DATA2").
#pragma once

#include <string>
#include <vector>

#include "comsupport/critical_section.h"
#include "ravlin/channel_data.h"
#include "ravlin_containers/datastream.h"
#include "ravlin_containers/ref_counted_object.h"

namespace ravlin {

struct NamedText {
  std::string name;
  std::string value;
};

class ChannelDataRecord final : public ICHANNELDATARECORD {
 public:
  // A new record with one reference; null when out of memory.
  static ChannelDataRecord* Create(DWORD story_id);

  DWORD GetStoryId() override;
  int GetField(const char* name, QMBuffer& value) override;
  int GetFieldNumber(const char* name, long& value) override;
  int SetField(const char* name, const char* value) override;
  int SetFieldNumber(const char* name, long value) override;
  int GetAttribute(const char* name, QMBuffer& value) override;
  int GetAttributeNumber(const char* name, long& value) override;
  int SetAttribute(const char* name, const char* value) override;
  long Release() override;

  long AddRef();
  // Copies, in the order the values were first set.
  std::vector<NamedText> Fields();
  std::vector<NamedText> Attributes();

 private:
  explicit ChannelDataRecord(DWORD story_id) : story_id_(story_id) {}
  ~ChannelDataRecord() = default;

  comsupport::CriticalSection lock_;
  long count_ = 1;
  const DWORD story_id_;
  std::vector<NamedText> fields_;
  std::vector<NamedText> attributes_;
};

class ChannelData final : public RefCountedObject<ICHANNELDATA2> {
 public:
  // A new, empty object with one reference; null when out of memory.
  static ChannelData* Create();
  // A new object from a datastream or its text (either form); null, with the reason, when the
  // input is not channel data.
  static ChannelData* FromDatastream(const Datastream& stream, std::string& error);
  static ChannelData* FromText(const std::string& text, std::string& error);

  int GetInfoValue(const char* name, QMBuffer& value) override;
  long GetRecordCount() override;
  ICHANNELDATARECORD* GetRecord(long index) override;
  int RemoveStory(DWORD story_id) override;
  int StartRecordEnum(long first, long* position) override;
  ICHANNELDATARECORD* NextRecord(long* position) override;
  void EndRecordEnum(long* position) override;

  // Replaces or appends an information value; 0 for a null name or value.
  int SetInfoValue(const char* name, const char* value);
  // The record of that story, kept by this object (no reference added); null when missing.
  ChannelDataRecord* FindRecord(DWORD story_id);
  // Appends a new record for the story (no reference added); null when out of memory.
  ChannelDataRecord* AddRecord(DWORD story_id);

  bool ToDatastream(Datastream& stream, std::string& error);
  bool ToText(DatastreamForm form, std::string& text, std::string& error);
  // The diagnostic dump of the datastream into a new text file.
  bool Dump(const std::string& path, std::string& error);

 private:
  ChannelData() = default;
  ~ChannelData() override;

  std::vector<NamedText> info_;
  std::vector<ChannelDataRecord*> records_;  // one reference each
};

}  // namespace ravlin
