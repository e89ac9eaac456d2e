// Stories: playing, the channel data, marking read or unread, deleting and downloading.
#include "client_objects.h"
#include "client_pointer.h"
#include "com_values.h"
#include "exports.h"
#include "operations.h"
#include "ravlin_containers/story_data_reader.h"

namespace ravlin {

using comsupport::ComPtr;
using comsupport::Variant;

namespace {

ComPtr<IZorvaneStory> StoryArgument(const RavlinCommand& command) {
  return FindStory(ThreadClient().get(), command.arguments[0], command.arguments[1]);
}

}  // namespace

// (channel id, story id, window)
LONG PlayStory(RavlinCommand& command) {
  ComPtr<IZorvaneStory> story = StoryArgument(command);
  return story && Ok(story->Play(static_cast<LONG>(command.arguments[2]), STORY_PLAY_NONE)) ? 1 : 0;
}

ICHANNELDATA2* ReadChannelDataOf(IZorvaneChannel2* channel) {
  if (!channel) return nullptr;
  Variant answer;
  if (!Ok(channel->EnumStoryData(STORY_ENUM_FLAG_ALLSTORIES, STORY_ENUM_FORMAT_ARRAY, answer.put()))) return nullptr;
  return ReadStoryData(*answer.get());
}

// (channel id) -> ICHANNELDATA2 in the second word
LONG ReadChannelData(RavlinCommand& command) {
  ComPtr<IZorvaneChannel4_2> channel = FindChannel(ThreadClient().get(), command.arguments[0]);
  ICHANNELDATA2* data = ReadChannelDataOf(channel.get());
  command.arguments[1] = Word(data);
  return data ? 1 : 0;
}

// (channel id, story id, read flags)
LONG MarkStoryRead(RavlinCommand& command) {
  ComPtr<IZorvaneStory> story = StoryArgument(command);
  if (!story) return 0;
  auto flags = static_cast<EStoryReadFlags>(command.arguments[2]);
  if (ComPtr<IZorvaneStory2> extended = story.As<IZorvaneStory2>()) return Ok(extended->MarkAsReadEx(flags)) ? 1 : 0;
  // An older client marks read without flags: that is all that was asked only for flags 0.
  return Ok(story->MarkAsRead()) && flags == 0 ? 1 : 0;
}

// (channel id, story id)
LONG MarkStoryUnread(RavlinCommand& command) {
  ComPtr<IZorvaneStory> story = StoryArgument(command);
  return story && Ok(story->MarkAsUnread()) ? 1 : 0;
}

// (channel id, story id)
LONG DeleteStory(RavlinCommand& command) {
  ComPtr<IZorvaneStory> story = StoryArgument(command);
  return story && Ok(story->Delete()) ? 1 : 0;
}

// (channel id, story id)
LONG DownloadStory(RavlinCommand& command) {
  ComPtr<IZorvaneStory> story = StoryArgument(command);
  return story && Ok(story->Download()) ? 1 : 0;
}

// (channel id, DATA_LIST)
LONG DeleteStories(RavlinCommand& command) {
  DATA_LIST* ids = PointerOf<DATA_LIST>(command.arguments[1]);
  ComPtr<IZorvaneChannel4_2> channel = FindChannel(ThreadClient().get(), command.arguments[0]);
  if (!ids || !channel) return 0;
  Variant array = IdArrayVariant(*ids);
  return array.type() != VT_EMPTY && Ok(channel->DeleteStories(*array.get())) ? 1 : 0;
}

// (channel id, DATA_LIST, read)
LONG MarkStoriesRead(RavlinCommand& command) {
  DATA_LIST* ids = PointerOf<DATA_LIST>(command.arguments[1]);
  ComPtr<IZorvaneChannel4_2> channel = FindChannel(ThreadClient().get(), command.arguments[0]);
  if (!ids || !channel) return 0;
  Variant array = IdArrayVariant(*ids);
  VARIANT_BOOL read = command.arguments[2] ? VARIANT_TRUE : VARIANT_FALSE;
  return array.type() != VT_EMPTY && Ok(channel->MarkStoriesRead(*array.get(), read)) ? 1 : 0;
}

}  // namespace ravlin

using namespace ravlin;

extern "C" int ZRPlayStory(DWORD channel_id, DWORD story_id, HWND parent) {
  return Guarded(
      [&] { return RunCommandFunction(kOpPlayStory, kInCallingThread, {channel_id, story_id, Word(parent)}); });
}

extern "C" ICHANNELDATA2* ZRReadChannelData(DWORD channel_id) {
  return Guarded(
      [&] { return RunObjectCommand<ICHANNELDATA2>(kOpReadChannelData, kInCallingThread, {channel_id}, 1); });
}

extern "C" int ZRMarkStoryRead(DWORD channel_id, DWORD story_id, EStoryReadFlags flags) {
  return Guarded([&] {
    return RunCommandFunction(kOpMarkStoryRead, kInCallingThread, {channel_id, story_id, static_cast<DWORD>(flags)});
  });
}

extern "C" int ZRMarkStoryUnread(DWORD channel_id, DWORD story_id) {
  return Guarded([&] { return RunCommandFunction(kOpMarkStoryUnread, kInCallingThread, {channel_id, story_id}); });
}

extern "C" int ZRDeleteStory(DWORD channel_id, DWORD story_id) {
  return Guarded([&] { return RunCommandFunction(kOpDeleteStory, kInCallingThread, {channel_id, story_id}); });
}

extern "C" int ZRKeepStory(DWORD channel_id, DWORD vessik_id, DWORD story_id, int keep) {
  return Guarded([&] {
    return RunCommandFunction(kOpKeepStory, kInCallingThread,
                              {channel_id, vessik_id, story_id, static_cast<DWORD>(keep)});
  });
}

extern "C" int ZRDownloadStory(DWORD channel_id, DWORD story_id) {
  return Guarded([&] { return RunCommandFunction(kOpDownloadStory, kInCallingThread, {channel_id, story_id}); });
}

extern "C" int ZRDeleteStories(DWORD channel_id, DATA_LIST& story_ids) {
  return Guarded(
      [&] { return RunCommandFunction(kOpDeleteStories, kInCallingThread, {channel_id, Word(&story_ids)}); });
}

extern "C" int ZRMarkStoriesRead(DWORD channel_id, DATA_LIST& story_ids, int read) {
  return Guarded([&] {
    return RunCommandFunction(kOpMarkStoriesRead, kInCallingThread,
                              {channel_id, Word(&story_ids), static_cast<DWORD>(read)});
  });
}
