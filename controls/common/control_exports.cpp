// The four exports of a control module, built into each .ocx (the module's .def names them).
#include "controls/control_module.h"

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  return comsupport::ServerGetClassObject(comsupport::ThisServer(), clsid, iid, out);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() { return comsupport::ServerCanUnloadNow(); }

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
  return controls::RegisterControlModule(comsupport::ThisServer(), controls::ThisControlClass());
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
  return controls::UnregisterControlModule(comsupport::ThisServer(), controls::ThisControlClass());
}
