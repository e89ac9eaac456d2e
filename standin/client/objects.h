// Creators of the stand-in's COM objects. Each object refers to its model entity by id, so a
// deleted channel or story makes its objects fail instead of dangling.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "client.h"
#include "comsupport/bstr.h"
#include "zorvane.h"

namespace standin {

HRESULT NewApplication(Client& client, REFIID iid, void** out);
HRESULT NewReplicator(Client& client, REFIID iid, void** out);
HRESULT NewSetup(Client& client, IZorvaneSetup** out);
HRESULT NewGeneralSettings(Client& client, IZorvaneGeneralSettings** out);
HRESULT NewDialog(Client& client, const std::string& kind, const std::string& caption, IZorvaneDialog** out);
HRESULT NewChannelCollection(Client& client, IZorvaneChannelCollection** out);
HRESULT NewChannel(Client& client, long channel_id, IZorvaneChannel** out);
HRESULT NewVariableCollection(Client& client, long channel_id, IZorvaneChannelVariableCollection** out);
HRESULT NewVariable(Client& client, long channel_id, const std::string& name, IZorvaneChannelVariable** out);
// Stories of one channel (channel_id), of one Vessik (vessik_id), or of every channel.
HRESULT NewStoryCollection(Client& client, long channel_id, long vessik_id, IZorvaneStoryCollection** out);
HRESULT NewAllStoryCollection(Client& client, IZorvaneAllStoryCollection** out);
HRESULT NewStory(Client& client, long channel_id, long story_id, IZorvaneStory** out);
HRESULT NewStoryAttributes(Client& client, long channel_id, long story_id, IZorvaneStoryAttributeCollection** out);
HRESULT NewVessikCollection(Client& client, long channel_id, IZorvaneVessikCollection** out);
HRESULT NewAllVessikCollection(Client& client, IZorvaneAllVessikCollection** out);
HRESULT NewVessik(Client& client, long vessik_id, IZorvaneVessik** out);
HRESULT NewVessikFiles(Client& client, long vessik_id, IZorvaneVessikFileCollection** out);
HRESULT NewDirectory(Client& client, IZorvaneDirectory** out);
HRESULT NewEntryCollection(Client& client, IZorvaneDirectoryEntryCollection** out);
HRESULT NewEntry(Client& client, long entry_id, IZorvaneDirectoryEntry** out);
HRESULT NewPlayer(Client& client, IZorvanePlayer** out);
HRESULT NewCommunications(Client& client, IZorvaneCommunications** out);
HRESULT NewReplicationSource(Client& client, long channel_id, IDispatch** out);

// The id of one of this process's Vessik objects; 0 for another object.
long VessikIdOf(IZorvaneVessik* package);

// An IEnumVARIANT over copies of items.
HRESULT NewEnumerator(std::vector<comsupport::Variant> items, IUnknown** out);
// A VARIANT holding an object (VT_DISPATCH), taking over the reference.
comsupport::Variant DispatchVariant(IDispatch* object);

}  // namespace standin
