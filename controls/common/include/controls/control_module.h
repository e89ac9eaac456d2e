// A control module's exports: the module defines comsupport::ThisServer() (its class
// factories and registry script) and controls::ThisControlClass(); control_exports.cpp gives
// DllGetClassObject, DllCanUnloadNow, DllRegisterServer and DllUnregisterServer.
//
// Registration: the type library (SELFREG_E_TYPELIB when that fails), then the class
// factories' registry script (SELFREG_E_CLASS), then the control class is marked as safely
// scriptable and safely initializable (E_FAIL). Unregistration removes the type library and
// the classes (with the class's own category marks) and leaves the categories.
#pragma once

#include <windows.h>
#include <comcat.h>

#include "comsupport/inproc_server.h"
#include "controls/control_class.h"

namespace controls {

// Defined once by each control module.
const ControlClass& ThisControlClass();

HRESULT RegisterControlModule(const comsupport::InprocServer& server, const ControlClass& control);
HRESULT UnregisterControlModule(const comsupport::InprocServer& server, const ControlClass& control);

// The two component categories every control implements.
extern const CATID kCatidSafeForScripting;
extern const CATID kCatidSafeForInitializing;

}  // namespace controls
