// What distinguishes one control class from another to the shared control frame: its
// identity in the registry and type library, its misc status, its persistence version, its
// initial size and its settings key.
#pragma once

#include <windows.h>

namespace controls {

struct ControlClass {
  const CLSID* clsid;
  const CLSID* property_page;
  const GUID* libid;
  const IID* dispatch;  // the control's dispinterface
  const IID* events;    // its default source
  DWORD misc_status;
  DWORD persist_version;
  SIZE initial_size;          // pixels
  UINT about_dialog;          // dialog resource of the module
  const char* settings_subkey;  // below "Software\Zorvane\Zorvane\Settings\"
};

}  // namespace controls
