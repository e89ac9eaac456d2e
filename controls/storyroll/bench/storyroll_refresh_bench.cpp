// Storyroll's full refresh of a channel of 5,000 stories (summaries shown) against the channel
// model's reading of the same rows' cells (headline, time, the attributes the cells and filters
// look at, the summary text) without the control, in the same run, best of several rounds, turns
// alternating. storyroll_refresh.ratio is the reading's time over the refresh's. A third figure,
// storyroll_refresh_grid_fill, puts the same cells into a bare grid window (read, inserted,
// summarised, sorted): what any list of these rows costs here, the control's floor.
#include <windows.h>
#include <objbase.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "comsupport/bstr.h"
#include "standin/control_container.h"
#include "testing/bench_support.h"
#include "testing/process.h"
#include "testing/scripting.h"
#include "testing/standin_client.h"
#include "vinnet/services.h"
#include "vinnet/super_grid_ctrl.h"

namespace {

using testing_support::PrintFigure;
using testing_support::PrintRatio;
using testing_support::Seconds;

constexpr long kChannel = 40;
constexpr int kStories = 5000;
constexpr int kRounds = 3;

std::string Fixture() {
  std::string json = "{\"channels\": [{\"id\": 40, \"name\": \"Kelvane\", \"categories\": [\"Updates\"], "
                     "\"storyInfo\": {\"Format\": \"Standard\"}, \"stories\": [";
  for (int story = 1; story <= kStories; ++story) {
    json += (story > 1 ? "," : "") + std::string("{\"id\": ") + std::to_string(story) + ", \"title\": \"Update " +
            std::to_string(story) + "\", \"fields\": {\"Text\": \"What the update " + std::to_string(story) +
            " brings, in a line or two of text\", \"Story Time\": " + std::to_string(946684800 + story * 600) +
            "}, \"attributes\": {\"Read\": " + std::to_string(story % 3 == 0) +
            ", \"Category\": \"Drivers/Display\", \"Alerted\": " + std::to_string(story % 7 == 0) +
            (story % 5 == 0 ? ", \"Attachment URL 1\": \"C:\\\\docs\\\\notes.txt\"" : "") + "}}";
  }
  return json + "]}]}";
}

// Milliseconds of one full refresh; the row count it showed.
double RefreshRound(IDispatch* control, long& rows) {
  comsupport::Variant result;
  const double began = Seconds();
  testing_support::InvokeByName(control, "SetChannel", DISPATCH_METHOD, {comsupport::Variant(kChannel)}, result.get());
  const double elapsed = (Seconds() - began) * 1000;
  testing_support::InvokeByName(control, "NumStories", DISPATCH_PROPERTYGET, {}, result.put());
  rows = result.get()->lVal;
  testing_support::PumpMessages();
  return elapsed;
}

// Milliseconds of reading what the rows show from the model.
double ReadingRound(long& rows) {
  const double began = Seconds();
  CServices* services = ::GetCServices();
  CService* channel = services ? services->GetServiceByID(kChannel) : nullptr;
  rows = 0;
  size_t characters = 0;
  for (long index = 0; channel && index < channel->GetNoStories(); ++index) {
    CString category, headline, time, text, attachment;
    long read = 0, alerted = 0, is_signed = 0;
    channel->GetStoryAttribute(index, "Category", category);
    channel->GetStoryAttribute(index, "Read", read);
    headline = channel->GetStoryHeadline(index);
    channel->GetStoryUpdatedTime(index, time);
    channel->GetStoryAttribute(index, "Alerted", alerted);
    channel->GetStoryAttribute(index, "Attachment URL 1", attachment);
    channel->GetStoryAttribute(index, "Vessik Signed", is_signed);
    channel->GetStoryField(index, "Text", text);
    characters += headline.size() + time.size() + text.size() + category.size();
    ++rows;
  }
  ::ReleaseCServices(services);
  const double elapsed = (Seconds() - began) * 1000;
  if (!characters) rows = 0;
  return elapsed;
}

// Milliseconds of filling a bare grid with the cells the control shows.
double GridRound(HWND parent, long& rows) {
  const double began = Seconds();
  CSuperGridCtrl grid;
  RECT place = {0, 0, 600, 400};
  grid.Create(WS_CHILD | WS_VISIBLE, place, parent, 2);
  for (int image = 0; image < 3; ++image) grid.InsertColumn(image, image, 20);
  grid.InsertColumn(3, "Content", 400);
  grid.InsertColumn(4, "Received", 150);
  ::SendMessageA(grid.GetSafeHwnd(), WM_SETREDRAW, FALSE, 0);
  CServices* services = ::GetCServices();
  CService* channel = services ? services->GetServiceByID(kChannel) : nullptr;
  for (long index = 0; channel && index < channel->GetNoStories(); ++index) {
    CString time, text;
    long read = 0, alerted = 0;
    channel->GetStoryAttribute(index, "Read", read);
    channel->GetStoryAttribute(index, "Alerted", alerted);
    channel->GetStoryUpdatedTime(index, time);
    channel->GetStoryField(index, "Text", text);
    const DWORD flags = read ? 0 : SGF_BOLD;
    const int row = grid.InsertItem(grid.GetItemCount(), alerted ? 3 : -1, flags);
    grid.SetItem(row, 1, -1, flags);
    grid.SetItem(row, 2, -1, flags);
    grid.SetItem(row, 3, channel->GetStoryHeadline(index).c_str(), flags);
    grid.SetItem(row, 4, time.c_str(), flags);
    grid.SetSummary(row, text.c_str(), read ? SGF_HIDESUMMARY : 0);
  }
  ::ReleaseCServices(services);
  grid.SetSortCol(4, FALSE);
  ::SendMessageA(grid.GetSafeHwnd(), WM_SETREDRAW, TRUE, 0);
  rows = grid.GetItemCount();
  const double elapsed = (Seconds() - began) * 1000;
  ::DestroyWindow(grid.GetSafeHwnd());
  return elapsed;
}

int Run() {
  const DWORD registered = testing_support::RunProgram(
      "regsvr32 /s " + testing_support::Quote(testing_support::BuildOutput("Storyroll.ocx")), 120000);
  if (registered != 0) {
    std::fprintf(stderr, "storyroll_refresh: regsvr32 Storyroll.ocx failed\n");
    return 1;
  }
  testing_support::StandinClient client(Fixture());
  int result = 0;
  {
    standin::ControlContainer host(640, 480);
    HRESULT hr = host.Create("Zorvane.StoryrollCtrl.1", standin::Initialization::FromParams({{"EmbeddedSummaries", "1"}}));
    if (SUCCEEDED(hr)) hr = host.Activate();
    if (FAILED(hr)) {
      std::fprintf(stderr, "storyroll_refresh: the control could not be hosted (0x%08lX)\n", static_cast<unsigned long>(hr));
      return 1;
    }
    ::ShowWindow(host.host(), SW_SHOWNORMAL);
    auto control = comsupport::ComPtr<IUnknown>(host.control()).As<IDispatch>();
    long rows = 0;
    RefreshRound(control.get(), rows);  // the first look reads the channel's data from the client
    double refresh = 1e9, reading = 1e9, grid_fill = 1e9;
    long refreshed_rows = 0, read_rows = 0, grid_rows = 0;
    for (int round = 0; round < kRounds; ++round) {
      reading = std::min(reading, ReadingRound(read_rows));
      refresh = std::min(refresh, RefreshRound(control.get(), refreshed_rows));
      grid_fill = std::min(grid_fill, GridRound(host.host(), grid_rows));
    }
    if (refreshed_rows != kStories || read_rows != kStories) {
      std::fprintf(stderr, "storyroll_refresh: %ld rows shown, %ld read; expected %d\n", refreshed_rows, read_rows,
                   kStories);
      result = 1;
    } else {
      PrintFigure("storyroll_refresh", refresh, "ms");
      PrintFigure("storyroll_refresh_model_reading", reading, "ms");
      PrintFigure("storyroll_refresh_grid_fill", grid_fill, "ms");
      PrintRatio("storyroll_refresh", reading / refresh);
    }
    host.Teardown();
  }
  client.Stop();
  return result;
}

}  // namespace

int main() {
  testing_support::PrepareBenchmarkProcess();
  if (FAILED(::OleInitialize(nullptr))) return 2;
  int result = 1;
  try {
    result = Run();
  } catch (const std::exception& error) {
    std::fprintf(stderr, "storyroll_refresh: %s\n", error.what());
  }
  ::OleUninitialize();
  return result;
}
