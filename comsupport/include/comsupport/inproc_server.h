// An in-process COM server: a module says what it serves by defining ThisServer(), and is
// built with inproc_exports.cpp (halvern_com_server does both), which supplies the four
// exports DllGetClassObject, DllCanUnloadNow, DllRegisterServer and DllUnregisterServer.
//
//   const comsupport::InprocServer& comsupport::ThisServer() {
//     static const InprocServer server{{{&CLSID_Thing, &Thing::CreateInstance}}};
//     return server;
//   }
#pragma once

#include <windows.h>
#include <objbase.h>

#include <vector>

#include "comsupport/class_factory.h"
#include "comsupport/com_ptr.h"
#include "comsupport/registrar.h"

namespace comsupport {

struct ServerClass {
  const CLSID* clsid;
  CreateFunction create;
};

struct InprocServer {
  std::vector<ServerClass> classes;
  // The registry script resource run through atl.dll's registrar (%MODULE% and these); 0: none.
  UINT registry_script = 101;
  Replacements replacements;
  // Interfaces the module's type library carries but another program owns.
  std::vector<IID> foreign_interfaces;
  // Unregistration leaves the type library registered (other modules may use it).
  bool keep_type_library = false;
  // Unregistration reports S_OK whatever failed.
  bool unregister_always_succeeds = false;
};

// Defined once by each server module.
const InprocServer& ThisServer();

// What the exports do, for the server described.
HRESULT ServerGetClassObject(const InprocServer& server, REFCLSID clsid, REFIID iid, void** out);
HRESULT ServerCanUnloadNow();
HRESULT ServerRegister(const InprocServer& server);
HRESULT ServerUnregister(const InprocServer& server);

}  // namespace comsupport
