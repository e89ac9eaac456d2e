// What the in-process server serves: the channel control.
#include "chanbind.h"
#include "chanbind_control.h"
#include "comsupport/inproc_server.h"

const comsupport::InprocServer& comsupport::ThisServer() {
  static const InprocServer server = [] {
    InprocServer described;
    described.classes = {{&CLSID_Chanbind2, &chanbind::Chanbind::CreateInstance}};
    // The client's interfaces imported by the library stay the client's.
    described.foreign_interfaces = {};
    return described;
  }();
  return server;
}
