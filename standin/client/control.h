// The control object of the stand-in (class ZorvaneStandinControl).
#pragma once

#include "client.h"
#include "standin_control.h"

namespace standin {

HRESULT NewControl(Client& client, REFIID iid, void** out);

}  // namespace standin
