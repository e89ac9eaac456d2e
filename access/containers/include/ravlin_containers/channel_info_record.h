// Making the channel records and lists that Ravlin hands out.
#pragma once

#include <string>

#include "ravlin/channel_info.h"

namespace ravlin {

// The values of one channel record; what the client's property set does not give stays 0 or
// empty.
struct ChannelInfoValues {
  DWORD channel_id = 0;
  std::string name;
  long flags = 0;
  std::string second_text;
  std::string categories;  // ";"-separated
  long last_visited = 0;
  long reserved1 = 0;
  long disabled_until = 0;
  DWORD directory_entry_id = 0;
  std::string logo_file;
  long attribute_flags = 0;
  long disabled = 0;
  long reserved2 = 0;
  long total_stories = 0;
  long unread_stories = 0;
  long hidden = 0;
};

// A new record with one reference; null when out of memory.
ICHANNELINFO* CreateChannelInfo(const ChannelInfoValues& values);
// A new empty list with one reference; null when out of memory.
ICHANNELINFOLIST* CreateChannelInfoList();

}  // namespace ravlin
