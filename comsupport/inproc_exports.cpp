// The four exports of an in-process server, built into each server module (not into the
// comsupport library, whose other users are no servers). The module's .def names them.
#include "comsupport/inproc_server.h"

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  return comsupport::ServerGetClassObject(comsupport::ThisServer(), clsid, iid, out);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() { return comsupport::ServerCanUnloadNow(); }

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() { return comsupport::ServerRegister(comsupport::ThisServer()); }

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
  return comsupport::ServerUnregister(comsupport::ThisServer());
}
