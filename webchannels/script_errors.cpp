#include "script_errors.h"

#include "chanbind.h"
#include "chanbind_resources.h"
#include "comsupport/error_info.h"
#include "resource_module.h"

namespace chanbind {

HRESULT HresultOfString(UINT string_id) {
  switch (string_id) {
    case IDS_INTERNAL_ERROR:
    case IDS_INIT_FAILED:
      return E_UNEXPECTED;
    case IDS_ACCESS_DENIED:
    case IDS_CHANNEL_NOT_SECURE:
      return E_ACCESSDENIED;
    case IDS_INDEX_OUT_OF_BOUNDS:
    case IDS_INVALID_COLUMN:
      return E_INVALIDARG;
    case IDS_NO_CHANNEL_COLLECTION:
    case IDS_NO_STORY_COLLECTION:
      return E_PENDING;
    default:
      return E_FAIL;
  }
}

void Raise(UINT string_id) {
  throw comsupport::ComError(HresultOfString(string_id), IID_IChanbind3, ResourceString(string_id));
}

HRESULT ReportCaught(const char* where) noexcept {
  const HRESULT hr = comsupport::HresultFromCaught(where);
  try {
    throw;
  } catch (const comsupport::ComError& error) {
    if (!error.description().empty()) {
      comsupport::ReportError(hr, error.iid(), error.description(), "Zorvane.Channels.1");
    }
  } catch (...) {
  }
  return hr;
}

}  // namespace chanbind
