#include "guarded_call.h"

#include "comsupport/structured_guard.h"

namespace ravlin {

bool GuardedCall(ZRNOTIFICATION_CALLBACK callback, const CallbackArguments& a) {
  auto call = [&] { callback(a.kind, a.name, a.id, a.text2, a.vessik_id, a.story_id, a.list); };
  return comsupport::CallGuarded(call);
}

}  // namespace ravlin
