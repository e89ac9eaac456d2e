// What a CService holds, shared by the files that implement its members. Everything here is
// guarded by the service's own lock.
#pragma once

#include <windows.h>

#include "comsupport/critical_section.h"
#include "qm/collections.h"
#include "ravlin/containers.h"
#include "ravlin_ref.h"
#include "vinnet/service.h"

struct CService::State {
  comsupport::CriticalSection lock;

  DWORD id = 0;
  CString name;
  CString category;
  CString logo_file;
  CString scroller_format = VINNET_DEFAULT_SCROLLER_FORMAT;
  CString further_text;
  vinnet::RavlinRef<ICHANNELDATAMULTIPLENODB> data;

  long last_visited = 0;
  DWORD entry_id = 0;
  long attribute_flags = 0;
  long flags = 0;
  int headline = 1;
  int enabled = 1;
  long total_stories = 0;
  long unread_stories = 0;
  int initialized = 0;

  // Headlines by story id text; emptied whenever the data is replaced.
  CMapStringToString cache;
};

namespace vinnet {

// Holds a service's lock for a scope.
class ServiceGuard {
 public:
  explicit ServiceGuard(CService::State& state) : guard_(state.lock) {}

 private:
  comsupport::CriticalSectionGuard guard_;
};

// The record of the story at index in the data, with its reference; empty when there is none.
RavlinRef<ICHANNELDATARECORD> RecordAt(ICHANNELDATAMULTIPLENODB* data, long index);
// A record's value as text; false when missing.
bool FieldText(ICHANNELDATARECORD& record, const char* name, CString& value);
bool AttributeText(ICHANNELDATARECORD& record, const char* name, CString& value);
// A record's attribute as a number; 0 when missing or not a number.
long AttributeNumber(ICHANNELDATARECORD& record, const char* name);
// The text of an information value of the data; false when missing.
bool InfoText(ICHANNELDATAMULTIPLENODB& data, const char* name, CString& value);

}  // namespace vinnet
