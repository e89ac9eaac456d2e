// The names of the registered window messages that the channel model sends to subscribed
// windows after a change (RegisterWindowMessage gives every module the same ids). wParam is
// the channel id; lParam as noted. The story lists belong to the model and are valid only
// while the message is handled.
#pragma once

// lParam 0: the channel record was re-read and its story data reloaded.
#define REFRESHCODE_CHANNEL_UPDATED "REFRESHCODE_CHANNEL_UPDATED"
// lParam: the directory entry id of the new channel.
#define REFRESHCODE_CHANNEL_ADDED "REFRESHCODE_CHANNEL_ADDED"
// lParam: the directory entry id the channel had.
#define REFRESHCODE_CHANNEL_DELETED "REFRESHCODE_CHANNEL_DELETED"
// lParam 0: the channel's state changed; the model did not.
#define REFRESHCODE_CHANNEL_STATUS_CHANGED "REFRESHCODE_CHANNEL_STATUS_CHANGED"
// lParam 0: logo, name or category changed; the record was re-read.
#define REFRESHCODE_CHANNEL_ATTRIBUTE_CHANGED "REFRESHCODE_CHANNEL_ATTRIBUTE_CHANGED"
#define REFRESHCODE_CHANNEL_ACTIVE_STATE_CHANGED "REFRESHCODE_CHANNEL_ACTIVE_STATE_CHANGED"
#define REFRESHCODE_CHANNEL_FLAGS_CHANGED "REFRESHCODE_CHANNEL_FLAGS_CHANGED"
#define REFRESHCODE_CHANNEL_COUNTER_CHANGED "REFRESHCODE_CHANNEL_COUNTER_CHANGED"
// lParam: a DATA_LIST* of the story ids removed from the channel data.
#define REFRESHCODE_STORIES_DELETED "REFRESHCODE_STORIES_DELETED"
// lParam: a DATA_LIST* of the story ids whose attributes changed in the model.
#define REFRESHCODE_STORIES_ATTRIBUTE_CHANGED "REFRESHCODE_STORIES_ATTRIBUTE_CHANGED"
