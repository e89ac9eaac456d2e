// The grid against a bare owner-drawn variable list box, in the same run, best of several rounds
// each, turns alternating:
//   grid_fill     10,000 rows with headline, date and a summary of one to three lines inserted
//                 (drawing off, as the controls fill), then sorted by the headline; against a bare
//                 list box given the same row records, measured and drawn by the same code, sorted
//                 by the same text and its heights set again;
//   grid_repaint  one full repaint of the filled grid (its visible rows).
// grid_fill.ratio is bare time / grid time (1.00: as fast as the bare list; lower: slower).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "grid_fonts.h"
#include "grid_row.h"
#include "grid_row_drawing.h"
#include "testing/bench_support.h"
#include "vinnet/super_grid_ctrl.h"

namespace {

using testing_support::Seconds;

using vinnet::grid::GridRow;

int kRows = 10000;  // a first argument sets another count (for looking into the costs)
constexpr int kWidth = 640;
constexpr int kHeight = 480;

void Pump() {
  MSG message;
  while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&message);
}

struct Story {
  std::string headline;
  std::string received;
  std::string summary;
};

// The same stories every run, in a shuffled headline order.
std::vector<Story> MakeStories() {
  static const char* const kWords[] = {"update", "driver", "firmware", "BIOS", "utility", "modem",
                                       "display", "sound", "network", "critical", "security", "fix"};
  std::vector<Story> stories(kRows);
  unsigned seed = 12345;
  auto next = [&seed] { return (seed = seed * 1103515245u + 12345u) >> 8; };
  char text[64];
  for (int index = 0; index < kRows; ++index) {
    Story& story = stories[static_cast<size_t>(index)];
    std::snprintf(text, sizeof text, "%s %s %05u", kWords[next() % 12], kWords[next() % 12], next() % 100000);
    story.headline = text;
    std::snprintf(text, sizeof text, "12/%02u/2026 %02u:%02u", 1 + next() % 28, next() % 24, next() % 60);
    story.received = text;
    const unsigned words = 6 + next() % 40;
    for (unsigned word = 0; word < words; ++word) {
      if (word) story.summary += ' ';
      story.summary += kWords[next() % 12];
    }
  }
  return stories;
}

LRESULT CALLBACK HostProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// The bare list's owner: measures and draws with the grid's own row code.
struct BareOwner {
  HWND list = nullptr;
  vinnet::grid::GridFonts fonts;
  vinnet::grid::RowMeasure measure{fonts.Normal(), fonts};
  std::vector<int> widths = {360, 160};
};
BareOwner* g_bare = nullptr;

LRESULT CALLBACK HostProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (g_bare && message == WM_MEASUREITEM) {
    auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
    const auto* row = reinterpret_cast<const GridRow*>(item->itemData);
    RECT client = {};
    ::GetClientRect(g_bare->list, &client);
    GridRow empty;
    item->itemHeight = static_cast<UINT>(g_bare->measure.Height(row ? *row : empty, client.right));
    return TRUE;
  }
  if (g_bare && message == WM_DRAWITEM) {
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    vinnet::grid::RowLook look = {::GetSysColor(COLOR_WINDOW), ::GetSysColor(COLOR_WINDOWTEXT),
                                  ::GetSysColor(COLOR_WINDOWTEXT), ::GetSysColor(COLOR_HIGHLIGHT),
                                  ::GetSysColor(COLOR_HIGHLIGHTTEXT), &g_bare->fonts, nullptr, &g_bare->widths};
    RECT client = {};
    ::GetClientRect(g_bare->list, &client);
    vinnet::grid::DrawRow(*item, item->itemID == static_cast<UINT>(-1) ? nullptr : reinterpret_cast<const GridRow*>(item->itemData),
                          look, g_bare->fonts.Normal(), client.right);
    return TRUE;
  }
  if (message == WM_DELETEITEM) {
    delete reinterpret_cast<GridRow*>(reinterpret_cast<const DELETEITEMSTRUCT*>(lParam)->itemData);
    return TRUE;
  }
  return ::DefWindowProcA(hwnd, message, wParam, lParam);
}

HWND MakeHost() {
  return ::CreateWindowExA(0, "GridBenchHost", "bench", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, kWidth, kHeight,
                           nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
}

// Seconds for filling and sorting the grid; repaint gets the time of one full repaint after it.
double FillGrid(const std::vector<Story>& stories, double& repaint, bool& ok) {
  HWND host = MakeHost();
  auto grid = std::make_unique<CSuperGridCtrl>();
  RECT client = {0, 0, kWidth, kHeight};
  ok = host && grid->Create(WS_CHILD | WS_VISIBLE, client, host, 1) && ok;
  grid->InsertColumn(0, "Headline", 360);
  grid->InsertColumn(1, "Received", 160);
  Pump();
  const double start = Seconds();
  ::SendMessageA(grid->GetSafeHwnd(), WM_SETREDRAW, FALSE, 0);
  grid->InitStorage(kRows, kRows * 64);
  for (const Story& story : stories) {
    const int row = grid->InsertItem(grid->GetItemCount(), story.headline.c_str(), 0);
    ok = row >= 0 && grid->SetItem(row, 1, story.received.c_str(), 0) &&
         grid->SetSummary(row, story.summary.c_str(), 0) && ok;
  }
  const double inserted = Seconds();
  grid->SetSortCol(0, TRUE);
  std::fprintf(stderr, "grid: insert %.1f ms, sort %.1f ms\n", (inserted - start) * 1000.0, (Seconds() - inserted) * 1000.0);
  const double sorted = Seconds();
  ::SendMessageA(grid->GetSafeHwnd(), WM_SETREDRAW, TRUE, 0);
  const double redrawn = Seconds();
  ::UpdateWindow(grid->GetSafeHwnd());
  const double filled = Seconds() - start;
  std::fprintf(stderr, "grid: redraw on %.1f ms, update %.1f ms\n", (redrawn - sorted) * 1000.0, (Seconds() - redrawn) * 1000.0);
  ok = grid->GetItemCount() == kRows && ok;

  repaint = 1e9;
  for (int round = 0; round < 5; ++round) {
    const double begin = Seconds();
    ::InvalidateRect(grid->GetListBox(), nullptr, TRUE);
    ::UpdateWindow(grid->GetListBox());
    repaint = std::min(repaint, Seconds() - begin);
  }
  grid.reset();
  ::DestroyWindow(host);
  Pump();
  return filled;
}

double FillBare(const std::vector<Story>& stories, bool& ok) {
  HWND host = MakeHost();
  BareOwner owner;
  g_bare = &owner;
  owner.list = ::CreateWindowExA(0, "LISTBOX", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_OWNERDRAWVARIABLE |
                                 LBS_NOINTEGRALHEIGHT | LBS_NOTIFY | LBS_EXTENDEDSEL, 0, 20, kWidth, kHeight - 20,
                                 host, nullptr, ::GetModuleHandleA(nullptr), nullptr);
  ok = host && owner.list && ok;
  ::SendMessageA(owner.list, WM_SETFONT, reinterpret_cast<WPARAM>(owner.fonts.Normal()), FALSE);
  Pump();
  const double start = Seconds();
  ::SendMessageA(owner.list, WM_SETREDRAW, FALSE, 0);
  ::SendMessageA(owner.list, LB_INITSTORAGE, kRows, kRows * 64);
  std::vector<GridRow*> rows;
  rows.reserve(kRows);
  for (const Story& story : stories) {
    auto* row = new GridRow();
    row->Cell(0).text = story.headline;
    row->Cell(0).flags = SGF_TEXT;
    row->Cell(1).text = story.received;
    row->Cell(1).flags = SGF_TEXT;
    row->summary = story.summary;
    ok = ::SendMessageA(owner.list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row)) >= 0 && ok;
    rows.push_back(row);
  }
  std::sort(rows.begin(), rows.end(),
            [](const GridRow* a, const GridRow* b) { return ::lstrcmpiA(a->cells[0].text.c_str(), b->cells[0].text.c_str()) < 0; });
  RECT client = {};
  ::GetClientRect(owner.list, &client);
  for (int index = 0; index < kRows; ++index) {
    GridRow* row = rows[static_cast<size_t>(index)];
    ::SendMessageA(owner.list, LB_SETITEMDATA, index, reinterpret_cast<LPARAM>(row));
    const int height = owner.measure.Height(*row, client.right);
    ::SendMessageA(owner.list, LB_SETITEMHEIGHT, index, MAKELPARAM(height, 0));
  }
  ::SendMessageA(owner.list, WM_SETREDRAW, TRUE, 0);
  ::InvalidateRect(owner.list, nullptr, TRUE);
  ::UpdateWindow(owner.list);
  const double filled = Seconds() - start;
  ok = ::SendMessageA(owner.list, LB_GETCOUNT, 0, 0) == kRows && ok;
  ::DestroyWindow(host);
  g_bare = nullptr;
  Pump();
  return filled;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1) kRows = std::max(2, std::atoi(argv[1]));
  testing_support::PrepareBenchmarkProcess();
  WNDCLASSA host_class = {};
  host_class.lpfnWndProc = &HostProc;
  host_class.hInstance = ::GetModuleHandleA(nullptr);
  host_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  host_class.lpszClassName = "GridBenchHost";
  if (!::RegisterClassA(&host_class)) return 2;

  const std::vector<Story> stories = MakeStories();
  double grid = 1e9, bare = 1e9, repaint = 1e9;
  bool ok = true;
  for (int round = 0; round < 3 && ok; ++round) {
    for (int turn = 0; turn < 2; ++turn) {
      if ((turn + round) % 2 == 0) {
        double repainted = 0;
        grid = std::min(grid, FillGrid(stories, repainted, ok));
        repaint = std::min(repaint, repainted);
      } else {
        bare = std::min(bare, FillBare(stories, ok));
      }
    }
  }
  if (!ok) {
    std::fprintf(stderr, "a fill failed (no display?)\n");
    return 1;
  }
  testing_support::PrintFigure("grid_fill", grid * 1000.0, "ms");
  testing_support::PrintFigure("grid_fill_bare", bare * 1000.0, "ms");
  testing_support::PrintRatio("grid_fill", bare / grid);
  testing_support::PrintFigure("grid_repaint", repaint * 1000.0, "ms");
  std::fprintf(stderr, "grid_fill: %.3f ms a row (bare list %.3f ms a row)\n", grid * 1000.0 / kRows,
               bare * 1000.0 / kRows);
  return 0;
}
