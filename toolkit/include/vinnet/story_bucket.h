// Story ids grouped by a key (a channel id), in the order the keys first arrived: for acting on
// a selection of stories one channel at a time.
#pragma once

#include <windows.h>

#include "ravlin/data_list.h"
#include "vinnet/vinnet_api.h"

class VINNET_API CStoryBucket {
 public:
  CStoryBucket();
  virtual ~CStoryBucket();
  CStoryBucket(const CStoryBucket&) = delete;
  CStoryBucket& operator=(const CStoryBucket&) = delete;

  // Appends the story id to the key's list; 0 when out of memory.
  int AddStory(DWORD key, DWORD story_id);
  int GetNumStoryLists();
  // The bucket keeps the list; 0 (key 0, list null) when out of range.
  int GetStoryList(int index, DWORD& key, DATA_LIST*& story_ids);

 // Its contents, private to the library.
  struct State;

 private:
  State* state_;
};
