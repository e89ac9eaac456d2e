// Replication of a Vessik's files (ZRReplicateVessik) through a replicator object of the
// client. Runs in the calling thread; the result stays 0 unless the replication itself succeeds.
#include "client_objects.h"
#include "client_pointer.h"
#include "com_values.h"
#include "exports.h"
#include "operations.h"

namespace ravlin {

using comsupport::ComPtr;

namespace {

constexpr DWORD kReplicatorContexts = 7;

// The channel's replication source into source: stays null when the channel is not found or
// does not answer the replication interface; false when asking it for the source fails.
bool ReplicationSource(IZorvane4* client, DWORD channel_id, ComPtr<IDispatch>& source) {
  source.reset();
  ComPtr<IZorvaneChannel4_2> channel = FindChannel(client, channel_id);
  if (!channel) return true;
  ComPtr<IZorvaneChannelReplication> replication = channel.As<IZorvaneChannelReplication>();
  if (!replication) return true;
  if (Ok(replication->get_ReplicationSource(source.put()))) return true;
  source.reset();
  return false;
}

}  // namespace

// (channel id, Vessik id)
LONG ReplicateVessik(RavlinCommand& command) {
  // Declared in the order obtained, so that they are released in reverse.
  ComPtr<IZorvane4> client = ThreadClient();
  if (!client) return 0;
  ComPtr<IZorvaneVessik> vessik = FindVessik(client.get(), command.arguments[0], command.arguments[1]);
  if (!vessik) return 0;
  ComPtr<IZorvaneVessik3> extras = vessik.As<IZorvaneVessik3>();
  if (!extras) return 0;
  ComPtr<IDispatch> source;
  if (!ReplicationSource(client.get(), command.arguments[0], source)) return 0;
  ComPtr<IZorvaneVessikFileCollection> files;
  LONG count = 0;
  if (!Ok(extras->get_Files(files.put())) || !files || !Ok(files->get_Count(&count)) || count <= 0) return 0;
  ComPtr<IZorvaneReplicator> replicator;
  if (!Ok(::CoCreateInstance(CLSID_ZorvaneReplicator, nullptr, kReplicatorContexts, IID_IZorvaneReplicator,
                             replicator.put_void())) ||
      !replicator)
    return 0;
  ComPtr<IZorvaneReplication> replication;
  if (!Ok(replicator->get_Replication(replication.put())) || !replication) return 0;
  VARIANT_BOOL has_files = VARIANT_FALSE, has_destinations = VARIANT_FALSE;
  if (!Ok(replication->Attach(extras.get(), 0)) || !Ok(replication->get_HasFiles(&has_files)) || !has_files ||
      !Ok(replication->get_HasDestinations(&has_destinations)) || !has_destinations)
    return 0;
  LONG copied = 0;
  return Ok(replication->Replicate(source.get(), &copied)) ? 1 : 0;
}

}  // namespace ravlin

using namespace ravlin;

extern "C" int ZRReplicateVessik(DWORD channel_id, DWORD vessik_id) {
  return Guarded([&] { return RunCommandFunction(kOpReplicateVessik, kInCallingThread, {channel_id, vessik_id}); });
}
