#include "vinnet/story_bucket.h"

#include <map>
#include <memory>
#include <new>
#include <utility>
#include <vector>

struct CStoryBucket::State {
  std::vector<std::pair<DWORD, std::unique_ptr<DATA_LIST>>> groups;
  std::map<DWORD, size_t> position_of_key;
};

CStoryBucket::CStoryBucket() : state_(new State) {}

CStoryBucket::~CStoryBucket() { delete state_; }

int CStoryBucket::AddStory(DWORD key, DWORD story_id) {
  try {
    auto found = state_->position_of_key.find(key);
    if (found == state_->position_of_key.end()) {
      state_->groups.emplace_back(key, std::make_unique<DATA_LIST>(16));
      found = state_->position_of_key.emplace(key, state_->groups.size() - 1).first;
    }
    return state_->groups[found->second].second->Add(story_id);
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

int CStoryBucket::GetNumStoryLists() { return static_cast<int>(state_->groups.size()); }

int CStoryBucket::GetStoryList(int index, DWORD& key, DATA_LIST*& story_ids) {
  key = 0;
  story_ids = nullptr;
  if (index < 0 || static_cast<size_t>(index) >= state_->groups.size()) return 0;
  key = state_->groups[index].first;
  story_ids = state_->groups[index].second.get();
  return 1;
}
