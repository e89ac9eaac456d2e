// What the in-process server serves: the one extension class. Its type library carries a copy
// of the client's IClientExt, whose registry key stays the client's; unregistration leaves the
// type library registered and always succeeds.
#include "client_ext.h"
#include "comsupport/inproc_server.h"
#include "hookwell.h"

const comsupport::InprocServer& comsupport::ThisServer() {
  static const InprocServer server = [] {
    InprocServer described;
    described.classes = {{&CLSID_ClientExt, &hookwell::ClientExt::CreateInstance}};
    described.foreign_interfaces = {IID_IClientExt};
    described.keep_type_library = true;
    described.unregister_always_succeeds = true;
    return described;
  }();
  return server;
}
