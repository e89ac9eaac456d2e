// Storyroll: the story list control. It lists the stories of one channel, one subchannel or a
// category of channels in the toolkit's grid (one row per story, a summary line under each
// headline), acts on the selected stories through the access library, and follows the
// channel model's refresh messages. It keeps no story data: each row holds only its channel
// and story ids.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "controls/channel_model.h"
#include "controls/control_base.h"
#include "qm/collections.h"
#include "vinnet/super_grid_ctrl.h"

// What each grid row carries as its item data; (0, 0) marks the placeholder row.
struct StoryRowRecord {
  DWORD channel_id;
  DWORD story_id;
};

// The story's Vessik id; false when it has none.
bool ReadVessikId(CService& channel, long index, long* vessik_id);

class CStoryrollCtrl : public controls::ControlBase {
 public:
  static HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** out);

  // Column kinds.
  enum ColumnKind { kContent = 10, kReceived = 11, kAlerted = 12, kAttachment = 13, kSigned = 15 };
  enum ViewMode { kNone = 0, kChannel = 1, kSubChannel = 2, kCategory = 3 };

  CStoryrollCtrl();

 protected:
  ~CStoryrollCtrl() override;

  bool OnCreateWindow() override;
  LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam, bool& handled) override;
  bool PreTranslateKey(const MSG& message) override;
  void OnLibrariesLost() override;
  HRESULT ExchangeProperties(controls::PropertyExchange& exchange, DWORD version) override;
  void OnPropertiesLoaded() override;
  HRESULT InvokeMember(controls::DispatchCall& call) override;
  void OnBackColorChanged() override;
  void OnForeColorChanged() override;

 private:
  // Coalesces the channel updates into one refresh.
  static constexpr UINT_PTR kUpdateTimer = 3;

  bool has_grid() const { return grid_.GetSafeHwnd() != nullptr; }
  // The list reads the model and acts through the client only while it holds the libraries.
  bool live() const { return has_grid() && libraries_attached(); }

  // Properties and methods (storyroll_properties.cpp).
  HRESULT InvokeProperty(controls::DispatchCall& call, VARIANT_BOOL& value, bool refreshes);
  HRESULT InvokeColor(controls::DispatchCall& call, OLE_COLOR& value);
  void ApplyColors();
  long SelectedStoryIndex() const;
  long NumStories() const;
  bool PreviousStory();
  bool NextStory();
  bool SetChannel(DWORD channel_id);
  bool SetSubChannel(DWORD channel_id, const std::string& sub_channel);
  bool SetCategory(const std::string& category);

  // Rows (storyroll_rows.cpp).
  void Refresh(bool keep_selection);
  void AddChannelStories(CService& channel);
  // The cells, row flag and summary of the story at index; a new row at the end when insert.
  bool FillRow(int row, CService& channel, long index, bool insert);
  int CellImage(int kind, CService& channel, long index) const;
  bool HasCountingAttachment(CService& channel, long index) const;
  void InsertPlaceholder();
  bool OnlyPlaceholder() const;
  const StoryRowRecord* Record(int row) const;
  int FindRow(DWORD channel_id, DWORD story_id) const;
  void RedrawList();
  // Ids of the selected rows that carry a story (the placeholder excluded).
  std::vector<StoryRowRecord> SelectedStories() const;
  // The one selected row's record when exactly one row is selected and it carries one.
  const StoryRowRecord* SingleSelection() const;
  bool RecomputeCategoryChannels();

  // Commands (storyroll_commands.cpp).
  void OnCommand(UINT id);
  bool IsCommandEnabled(UINT id, bool* checked) const;
  void ShowContextMenu();
  void Play(const StoryRowRecord& story);
  void FullStory(const StoryRowRecord& story);
  void DeleteSelected();
  void MarkSelected(bool read);
  void KeepStory(const StoryRowRecord& story);
  void DownloadSelected();
  void ShowProperties(const StoryRowRecord& story);
  void PlaceFiles(const StoryRowRecord& story);
  void SelectAll();

  // Grid notices, timers and the model's refresh messages (storyroll_notifications.cpp).
  LRESULT OnGridNotify(const NMHDR& header);
  void OnTimer(UINT_PTR id);
  bool OnKey(UINT key);
  bool OnRefreshMessage(UINT message, WPARAM wparam, LPARAM lparam);
  void OnStoriesDeleted(DWORD channel_id, const DATA_LIST* stories);
  void OnStoriesChanged(DWORD channel_id, const DATA_LIST* stories);
  void OnChannelUpdated();
  void OnChannelDeleted(DWORD channel_id);
  void FireSelectionChanged();

  // Story look-ups (storyroll_stories.cpp).
  bool StoryExists(DWORD channel_id, DWORD story_id) const;
  // The Vessik behind a row: its own, or for an alert the one of the story it points at.
  bool ResolveVessik(DWORD channel_id, DWORD story_id, DWORD* vessik_channel, DWORD* vessik_id) const;
  std::string GetStoryURL(DWORD channel_id, DWORD story_id) const;
  bool FireBefore(DISPID event, const StoryRowRecord& story);

  CSuperGridCtrl grid_;
  HIMAGELIST images_ = nullptr;
  VARIANT_BOOL cancel_ = VARIANT_FALSE;
  VARIANT_BOOL alert_column_ = VARIANT_TRUE;
  VARIANT_BOOL attachment_column_ = VARIANT_TRUE;
  VARIANT_BOOL signed_column_ = VARIANT_TRUE;
  CDWordArray channels_;
  std::string sub_channel_;
  std::string category_;
  VARIANT_BOOL unread_only_ = VARIANT_FALSE;
  VARIANT_BOOL embedded_summaries_ = VARIANT_FALSE;
  std::vector<int> columns_;
  OLE_COLOR highlight_back_color_ = 0xFF0000;
  OLE_COLOR highlight_fore_color_ = 0xFFFFFF;
  OLE_COLOR summary_color_ = 0xFF0000;
  int view_mode_ = kNone;
  int pending_updates_ = 0;
  bool double_click_release_ = false;
  LONG double_click_time_ = 0;
};
