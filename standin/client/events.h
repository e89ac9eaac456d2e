// The notifications the stand-in raises, queued under the client's lock and delivered after.
#pragma once

#include <vector>

#include "client.h"

namespace standin {

enum class Change { Added, Deleted, Changed };

// How story ids travel (see the control interface's idForm).
enum class IdForm : long { Natural = 0, Array = 1, ArrayByReference = 2, VariantArray = 3 };

void QueueChannelEvent(Client& client, Change change, long channel_id, long events = 0);
void QueueStoryEvent(Client& client, Change change, long channel_id, const std::vector<long>& story_ids,
                     long events = 0, IdForm form = IdForm::Natural);
void QueueEntryEvent(Client& client, Change change, long entry_id, long events = 0);
void QueueSetupEvent(Client& client, long events);
void QueueVessikEvent(Client& client, Change change, long channel_id, long vessik_id, long events = 0);
void QueueShutdown(Client& client);

}  // namespace standin
