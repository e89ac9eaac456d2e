// One channel of the channel model: the values of its channel record, its story data (the
// channel data object of the access library) and the presentation of its stories. A service
// belongs to the model (CServices) and is borrowed between GetCServices and ReleaseCServices;
// its own lock guards its record values, its headline cache and its channel data, so every
// member is safe to call from any thread.
//
// Stories are addressed by their index in the channel data (0 to GetNoStories() - 1).
#pragma once

#include <windows.h>

#include "qm/collections.h"
#include "ravlin/containers.h"
#include "vinnet/vinnet_api.h"

// The fixed id of the alerts channel, whose stories point at stories of other channels.
constexpr DWORD VINNET_ALERTS_CHANNEL_ID = 0xFDFFFFE1;
// The scroller format of a story or channel that names none of its own.
#define VINNET_DEFAULT_SCROLLER_FORMAT "1,%Title%,1,%Text%,1"

class VINNET_API CService {
 public:
  // Takes a reference of its own on data (which may be null) and reads its scroller format.
  CService(DWORD id, const char* name, long flags, ICHANNELDATAMULTIPLENODB* data);
  virtual ~CService();
  CService(const CService&) = delete;
  CService& operator=(const CService&) = delete;

  // Takes the values of the channel record; 1 when its name is not empty. 0 for no record.
  int Initialize(ICHANNELINFO* info);
  // Reads the story data anew; 1 when new data replaced the old (a failed read keeps it).
  int LoadChannelData();
  int IsDataLoaded();
  // With a reference that the caller releases; null before the data is loaded.
  ICHANNELDATAMULTIPLENODB* GetChannelData();
  // Keeps a reference of its own on data (null drops the data) and reads its scroller format.
  void SetChannelData(ICHANNELDATAMULTIPLENODB* data);

  // The service's own (recursive) lock, for a caller that needs several calls to agree.
  void EnterCriticalSection();
  void LeaveCriticalSection();

  DWORD GetServiceID();
  CString GetDisplayName();
  // selector 0: the whole display category (the record's ";"-separated categories, or the
  // name of the alerts channel); n above 0: its n-th ";"-separated name. 1 when not empty.
  int GetCategory(CString& category, int selector);
  void SetCategory(const char* category);
  DWORD GetDirectoryEntryId();
  long GetFlags();
  long GetAttributeFlags();
  long GetLastVisited();
  int IsEnabled();
  // Attribute flag 0x1.
  int IsFiltered();
  // Attribute flag 0x2.
  int IsSecure();
  // A channel whose stories carry Vessiks: its flags lack the headlines-only bit 0x1000.
  int IsSuperChannel();
  // Attribute flag 0x4.
  int IsHomeServer();
  int IsInitialized();
  CString GetLogoBitmapFile();
  // The last visit in the short date form; empty when never visited.
  CString GetLastUpdatedDateTime();
  // One line: the name, the id, and the unread and total story counts.
  int GetServiceInfo(CString& info);
  // The last visit in the long date form; 0 (and an empty text) when never visited.
  int GetServiceDateData(CString& date);
  // The record's further text (empty as the access library builds records).
  CString GetAnimFile();
  CString GetScrollerFormat();

  // Sub-channels: the stories' category paths.
  int ContainsSubChannels();
  // The distinct non-empty sub-channel texts, sorted; returns how many.
  int GetSubChannels(CStringArray& sub_channels);
  // Per name: the unread and the total count of the stories of that sub-channel.
  void GetSubChannelsCount(const CStringArray& names, CDWordArray& unread, CDWordArray& total);

  // Stories by index.
  long GetNoStories();
  long GetNumStories();
  long GetNumUnreadStories();
  // 0 when there is no such story.
  DWORD GetStoryId(long index);
  // The story id text "channel:story"; 1 when the story exists.
  int GetStoryID(long index, CString& story_id);
  // The index of the story, -1 when it is not in the data.
  long GetStoryIndex(DWORD story_id);
  // 1 when the value exists (the number forms: and is a number).
  int GetStoryField(long index, const char* name, CString& value);
  int GetStoryField(long index, const char* name, long& value);
  int SetStoryField(long index, const char* name, const char* value);
  int SetStoryField(long index, const char* name, long value);
  int GetStoryAttribute(long index, const char* name, CString& value);
  int GetStoryAttribute(long index, const char* name, long& value);
  int SetStoryAttribute(long index, const char* name, const char* value);
  int SetStoryAttribute(long index, const char* name, long value);
  // The story's "Story Time" in the short date form; 0 (and an empty text) when missing.
  int GetStoryUpdatedTime(long index, CString& text);
  // The raw "Story Time"; 0 (and time 0) when missing.
  int GetStoryUpdatedTime(long index, long& time);
  CString GetStoryHeadline(long index);
  CString GetStorySummary(long index);
  int IsStorySummaryAvailable(long index);
  // Removes the story from the channel data; 1 when it was there.
  int DeleteStory(DWORD story_id);

  // The scroller format of a story: its mode and its pairs of a field template and a number.
  int GetScrollerMode(long index);
  // The n-th pair (from 0); 1 when it exists.
  int GetScrollerField(long index, int n, CString& field_template, int& number);
  // A story's named parameters: its fields "Parameter Name 1", "Parameter Value 1", ... up to
  // the first missing name.
  int GetNoParameters(long index);
  int GetParameterNameValue(long index, int i, CString& name, CString& value);
  // The template with each "%Field%" replaced by the story's field, trimmed of blanks.
  CString ExpandScrollerParms(long index, const char* field_template);
  // A "Format" value beginning with "table" (any case) becomes "7,%Title%,1" (1); any other
  // value translates to nothing (0, scroller empty).
  static int TranslateFormatToScrollerField(const char* format, CString& scroller);

  // Reads "%lu:%lu"; 0 only when nothing can be read (the story id is then 0).
  static int ParseStoryID(const char* text, DWORD& channel_id, DWORD& story_id);

 // What the service holds, private to the library.
  struct State;

 private:
  State* state_;
};

// "%lu:%lu", the channel id and then the story id.
VINNET_API CString GetStoryID(DWORD channel_id, DWORD story_id);
