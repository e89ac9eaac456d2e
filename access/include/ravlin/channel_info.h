// A snapshot of one channel (ICHANNELINFO) and an ordered list of them (ICHANNELINFOLIST), as
// Ravlin's channel operations return them. Other modules call them through their virtual
// operations, so their order is fixed. Texts are returned as pointers into the object, valid
// while the caller holds a reference.
#pragma once

#include "ravlin/buffer_list.h"
#include "ravlin/ravlin_object.h"

class ICHANNELINFO : public IRavlinObject {
 public:
  virtual DWORD GetChannelId() = 0;
  virtual const char* GetName() = 0;
  // The client's channel flags.
  virtual long GetFlags() = 0;
  // Always empty as this library builds the record.
  virtual const char* GetSecondText() = 0;
  // Appends the ";"-separated categories (empty pieces skipped); 1 when the text is not empty.
  virtual int GetCategories(BUFFER_LIST& categories) = 0;
  virtual const char* GetCategoriesText() = 0;
  virtual long GetLastVisited() = 0;
  // Always 0 as built.
  virtual long GetReserved1() = 0;
  virtual long GetDisabledUntil() = 0;
  virtual DWORD GetDirectoryEntryId() = 0;
  virtual const char* GetLogoFile() = 0;
  virtual long GetAttributeFlags() = 0;
  // 1 when the channel is not active.
  virtual long IsDisabled() = 0;
  // Always 0 as built.
  virtual long GetReserved2() = 0;
  // The channel model's total story count; 0 as built, the property set has no such value.
  virtual long GetTotalStories() = 0;
  virtual long GetUnreadStories() = 0;
  virtual long GetHidden() = 0;
};

class ICHANNELINFOLIST : public IRavlinObject {
 public:
  virtual long GetCount() = 0;
  // Takes over the caller's reference; 1 when added. A null pointer is refused with 0; on any
  // refusal the caller keeps its reference.
  virtual int Add(ICHANNELINFO* info) = 0;
  // With one added reference that the caller releases; null when out of range.
  virtual ICHANNELINFO* GetItem(long index) = 0;
};
