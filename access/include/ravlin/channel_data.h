// The story data of one channel (ICHANNELDATA2, called ICHANNELDATAMULTIPLENODB by the channel
// model): information values, and one record per story with named fields (the story's content:
// "Text", "URL", "Story Time"...) and named attributes (local state: "Read", "Keep"...). Other
// modules call these objects through their virtual operations, so their order is fixed.
//
// Values are texts; the number forms read and write them as decimal 32-bit numbers (read as
// signed or unsigned, so ids above 0x7FFFFFFF keep their bits).
#pragma once

#include "qm/qm_buffer.h"
#include "ravlin/ravlin_object.h"

// One story's record, handed out with a reference that the caller releases. It stays usable
// after its story has been removed from the channel data.
class ICHANNELDATARECORD {
 public:
  virtual DWORD GetStoryId() = 0;
  // 1 when the field exists.
  virtual int GetField(const char* name, QMBuffer& value) = 0;
  // 1 when the field exists and is a number.
  virtual int GetFieldNumber(const char* name, long& value) = 0;
  // Replaces or appends the field; 0 for a null name or text.
  virtual int SetField(const char* name, const char* value) = 0;
  virtual int SetFieldNumber(const char* name, long value) = 0;
  virtual int GetAttribute(const char* name, QMBuffer& value) = 0;
  virtual int GetAttributeNumber(const char* name, long& value) = 0;
  virtual int SetAttribute(const char* name, const char* value) = 0;
  // The new count; 0 when the record has deleted itself.
  virtual long Release() = 0;

 protected:
  ~ICHANNELDATARECORD() = default;
};

class ICHANNELDATA2 : public IRavlinObject {
 public:
  // 1 when the channel data has this information value ("Format", "Scroller Field"...).
  virtual int GetInfoValue(const char* name, QMBuffer& value) = 0;
  virtual long GetRecordCount() = 0;
  // With a reference; null when out of range.
  virtual ICHANNELDATARECORD* GetRecord(long index) = 0;
  // 1 when a record of that story was removed.
  virtual int RemoveStory(DWORD story_id) = 0;
  // Record enumeration: StartRecordEnum(0, &position), then NextRecord(&position) until it
  // returns null (each record with a reference), then EndRecordEnum(&position). Removing a
  // record during the walk makes the walk skip the one after it, never repeat or overrun.
  virtual int StartRecordEnum(long first, long* position) = 0;
  virtual ICHANNELDATARECORD* NextRecord(long* position) = 0;
  virtual void EndRecordEnum(long* position) = 0;
};

typedef ICHANNELDATA2 ICHANNELDATAMULTIPLENODB;
