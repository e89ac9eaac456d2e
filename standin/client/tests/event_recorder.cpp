#include "event_recorder.h"

#include "json_value.h"

namespace standin_tests {

std::string IdsText(const VARIANT& ids) {
  if (ids.vt == VT_I4) return std::to_string(ids.lVal);
  std::string text = (ids.vt & VT_BYREF) ? "&" : "";
  if ((ids.vt & VT_TYPEMASK) == VT_VARIANT) text += "v";
  text += "[";
  bool first = true;
  for (long id : standin::LongsOf(ids)) {
    text += (first ? "" : ",") + std::to_string(id);
    first = false;
  }
  return text + "]";
}

}  // namespace standin_tests
