// The channel model: one CServices per process holding the user's channels (CService) in the
// order the client lists them, plus the alerts channel kept outside that list. Callers borrow
// it between GetCServices and ReleaseCServices, which hold the process-wide model lock, and
// keep pointers to it or to its services only inside that span.
//
// The model is kept current from the access library's notifications by a hidden window that
// Vinnet_Initialize creates; after each change the window sends one of the registered
// "REFRESHCODE_" messages (vinnet/refresh_codes.h) to every subscribed window.
#pragma once

#include <windows.h>

#include "qm/collections.h"
#include "vinnet/service.h"
#include "vinnet/vinnet_api.h"

class VINNET_API CServices {
 public:
  CServices();
  virtual ~CServices();
  CServices(const CServices&) = delete;
  CServices& operator=(const CServices&) = delete;

  // Refreshes unless already initialised with the same parameter; returns the initialised flag.
  int Initialize(DWORD parameter);
  // Rebuilds the channel list and the alerts channel from the client; 0 without a channel list.
  int Refresh();
  // Adds the channel from its record; 1 only when a service was added.
  int AddChannel(DWORD channel_id, const char* name);
  // Removes and deletes the service; 1 when one was removed.
  int DeleteChannel(DWORD channel_id);
  // Deletes every service of the list and the alerts channel.
  void RemoveAll();
  // Does nothing: channels leave the model through DeleteChannel.
  void DeleteService(const char* name);
  int IsInitialized();

  int GetNoServices();
  // Null when out of range.
  CService* GetService(int index);
  // The alerts channel's id gives the alerts channel. Null when unknown.
  CService* GetServiceByID(DWORD channel_id);
  CService* GetServiceByName(const char* name);
  CService* GetServiceByDirectoryEntryId(DWORD entry_id);
  // By a story id text "channel:story".
  CService* GetServiceByStoryID(const char* story_id);
  // The alerts channel; null before a successful refresh.
  CService* GetMessages();
  DWORD GetHistoryTime();

  // Loads the story data of each listed channel (ids as decimal texts) that has none yet.
  void PreloadServices(const CStringArray& channel_ids);

  // By story id text; 1 when the channel and the story exist (and, for a value, it exists).
  int GetStoryHeadline(const char* story_id, CString& headline);
  int GetStoryField(const char* story_id, const char* name, CString& value);
  int GetStoryField(const char* story_id, const char* name, long& value);
  int GetStoryAttribute(const char* story_id, const char* name, CString& value);
  int GetStoryAttribute(const char* story_id, const char* name, long& value);
  int GetStorySummary(const char* story_id, CString& summary);

 // Its contents, private to the library.
  struct State;

 private:
  State* state_;
};

extern "C" {

// Enters the model lock and returns the model, creating and initialising it on first use; null
// (without the lock) when it cannot be made. Pair every call with one ReleaseCServices.
VINNET_API CServices* GetCServices();
// Leaves the model lock taken by this thread's GetCServices; null does nothing.
VINNET_API void ReleaseCServices(CServices* services);
// Deletes the model (the next GetCServices makes a new one).
VINNET_API void DestroyCServices();

// One call per module that uses the library: the first creates the model and the refresh
// window on the calling thread, which must dispatch messages; the last destroys both.
// Call the access library's RavlinInitialize first. Returns the number of users.
VINNET_API int Vinnet_Initialize();
VINNET_API void Vinnet_Uninitialize();

// A window subscribed n times receives every refresh message n times.
VINNET_API void CServicesSubscribeNotifications(HWND window);
// Removes every subscription of the window.
VINNET_API void CServicesUnsubscribeNotifications(HWND window);

}  // extern "C"
