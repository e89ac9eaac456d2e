#include "storyroll_test_support.h"

#include "testing/process.h"
#include "testing/scripting.h"
#include "vinnet/super_grid_ctrl.h"

namespace storyroll_tests {

testing_support::RegisteredModule* StoryrollTest::registered_ = nullptr;
ravlin_tests::PinnedStandin* StoryrollTest::standin_ = nullptr;

std::unique_ptr<testing_support::RegisteredModule> RegisterStoryroll() {
  return std::make_unique<testing_support::RegisteredModule>(testing_support::BuildOutput("Storyroll.ocx"));
}

std::string StoryrollFixture() {
  return R"json({
  "settings": { "replication": true },
  "channels": [
    { "id": 30, "name": "Kelvane", "categories": ["Support"], "flags": 0,
      "stories": [
        { "id": 3001, "title": "Display driver", "vessik": 7001,
          "fields": { "Text": "New display driver", "URL": "http://kelvane.example/3001", "Story Time": 946684800 },
          "attributes": { "Category": "News", "Read": 0, "Alerted": 1, "Vessik Signed": 1, "Vessik Type": 1,
                          "Vessik Replicable": 1, "Keep": 0 } },
        { "id": 3002, "title": "BIOS notes",
          "fields": { "Text": "Read before updating", "Story Time": 946771200 },
          "attributes": { "Category": "News/Local", "Read": 1, "Attachment URL 1": "C:\\kit\\zr_tsr123.htm" } },
        { "id": 3003, "title": "Newsletter May",
          "fields": { "Text": "What is new", "Story Time": 946857600 },
          "attributes": { "Category": "Newsletter", "Read": 0,
                          "Attachment URL 1": "file:///C:/docs/ZR_TSRabc.txt",
                          "Attachment URL 2": "\"C:\\docs\\manual.pdf\"" } },
        { "id": 3004, "title": "Band", "fields": { "Story Time": 946944000 },
          "attributes": { "Category": "A//B", "Read": 0, "Attachment URL 1": "C:\\x\\zr_ts.txt" } },
        { "id": 3005, "title": "Short", "fields": { "Story Time": 947030400 },
          "attributes": { "Category": "A/B", "Read": 0, "Attachment URL 1": "C:\\x\\zr_tsr" } }
      ] },
    { "id": 31, "name": "Sport news", "categories": ["sport"], "flags": 4096,
      "stories": [ { "id": 3101, "title": "Match", "attributes": { "Read": 0 } } ] },
    { "id": 32, "name": "Spare parts", "categories": ["SP"], "flags": 4096,
      "stories": [ { "id": 3201, "title": "Part", "attributes": { "Read": 1 } } ] },
    { "id": 33, "name": "Garden", "categories": ["Spring"], "flags": 4096,
      "stories": [ { "id": 3301, "title": "Seeds", "attributes": { "Read": 0 } } ] },
    { "id": 34, "name": "Empty", "categories": ["Other"] },
    { "id": 4261412833, "name": "Alert Center",
      "stories": [
        { "id": 501, "title": "Driver alert",
          "attributes": { "Category": "Updates", "Alert Name": "Driver", "Alert Channel Id": 30,
                          "Alert Story Id": 3001, "Read": 0 } } ] }
  ],
  "vessiks": [ { "id": 7001, "channel": 30, "name": "Display driver", "replicable": true, "files": [] } ]
})json";
}

void Pump(DWORD ms) { testing_support::PumpMessages(ms); }

bool PumpUntil(const std::function<bool()>& done, DWORD timeout_ms) {
  const DWORD start = ::GetTickCount();
  for (;;) {
    Pump();
    if (done()) return true;
    if (::GetTickCount() - start >= timeout_ms) return false;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

comsupport::Variant Bool(bool value) {
  comsupport::Variant variant;
  variant.get()->vt = VT_BOOL;
  variant.get()->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  return variant;
}

comsupport::Variant Long(long value) { return comsupport::Variant(value); }
comsupport::Variant Text(const std::string& value) { return comsupport::Variant(value); }

HostedStoryroll::HostedStoryroll(const standin::Initialization& initialization, int width, int height)
    : container_(width, height) {
  HRESULT hr = container_.Create("Zorvane.StoryrollCtrl.1", initialization);
  if (FAILED(hr)) throw std::runtime_error("Storyroll could not be created: " + std::to_string(hr));
  if (FAILED(hr = container_.Advise())) throw std::runtime_error("Storyroll events: " + std::to_string(hr));
  if (FAILED(hr = container_.Activate())) throw std::runtime_error("Storyroll activation: " + std::to_string(hr));
  dispatch_ = comsupport::ComPtr<IUnknown>(container_.control()).As<IDispatch>();
  // Shown as a page shows it: input and drawing need a visible window.
  ::ShowWindow(container_.host(), SW_SHOWNORMAL);
  ::UpdateWindow(container_.host());
  Pump();
}

HostedStoryroll::~HostedStoryroll() {
  container_.Teardown();
  Pump();
}

HRESULT HostedStoryroll::TryCall(const char* name, WORD flags, std::vector<comsupport::Variant> arguments,
                                 VARIANT* result) {
  return testing_support::InvokeByName(dispatch_.get(), name, flags, std::move(arguments), result);
}

comsupport::Variant HostedStoryroll::Call(const char* name, std::vector<comsupport::Variant> arguments) {
  comsupport::Variant result;
  HRESULT hr = TryCall(name, DISPATCH_METHOD, std::move(arguments), result.get());
  EXPECT_EQ(S_OK, hr) << name;
  return result;
}

comsupport::Variant HostedStoryroll::Get(const char* name) {
  comsupport::Variant result;
  HRESULT hr = TryCall(name, DISPATCH_PROPERTYGET, {}, result.get());
  EXPECT_EQ(S_OK, hr) << name;
  return result;
}

void HostedStoryroll::Put(const char* name, const comsupport::Variant& value) {
  EXPECT_EQ(S_OK, TryCall(name, DISPATCH_PROPERTYPUT, {value}, nullptr)) << name;
}

long HostedStoryroll::GetLong(const char* name) {
  comsupport::Variant value = Get(name);
  EXPECT_EQ(S_OK, ::VariantChangeType(value.get(), value.get(), 0, VT_I4)) << name;
  return value.get()->lVal;
}

bool HostedStoryroll::GetBool(const char* name) {
  comsupport::Variant value = Get(name);
  EXPECT_EQ(VT_BOOL, value.type()) << name;
  return value.get()->boolVal != VARIANT_FALSE;
}

void HostedStoryroll::PutBool(const char* name, bool value) { Put(name, Bool(value)); }

bool HostedStoryroll::SetChannel(long channel) {
  comsupport::Variant result = Call("SetChannel", {Long(channel)});
  return result.type() == VT_BOOL && result.get()->boolVal;
}

HWND HostedStoryroll::grid() const { return window() ? ::GetDlgItem(window(), 1) : nullptr; }

HWND HostedStoryroll::list() const {
  HWND grid_window = grid();
  auto* grid = grid_window ? reinterpret_cast<CSuperGridCtrl*>(::GetWindowLongPtrA(grid_window, GWLP_USERDATA)) : nullptr;
  return grid ? grid->GetListBox() : nullptr;
}

std::vector<HostedStoryroll::Row> HostedStoryroll::Rows() const {
  std::vector<Row> rows;
  HWND grid_window = grid();
  auto* grid = grid_window ? reinterpret_cast<CSuperGridCtrl*>(::GetWindowLongPtrA(grid_window, GWLP_USERDATA)) : nullptr;
  if (!grid) return rows;
  for (int index = 0; index < grid->GetItemCount(); ++index) {
    Row row = {};
    const auto* record = reinterpret_cast<const DWORD*>(grid->GetItemData(index));
    if (record) {
      row.channel = record[0];
      row.story = record[1];
    }
    for (int column = 0; column < grid->GetColumnCount(); ++column) {
      CString text;
      DWORD flags = 0;
      int image = 0;
      grid->GetItem(index, column, image, flags);
      if (flags & SGF_NUMBER) {
        row.images.push_back(image);
      } else if (grid->GetItem(index, column, text, flags) && !row.headline_flags && row.headline.empty()) {
        // The first text column is the Content column.
        row.headline = text;
        row.headline_flags = flags;
      }
    }
    grid->GetSummary(index, row.summary);
    row.summary_flags = grid->GetSummaryFlags(index);
    rows.push_back(row);
  }
  return rows;
}

std::vector<std::string> HostedStoryroll::Headlines() const {
  std::vector<std::string> headlines;
  for (const Row& row : Rows()) headlines.push_back(row.headline);
  return headlines;
}

std::vector<int> HostedStoryroll::Selected() const {
  std::vector<int> rows;
  HWND grid_window = grid();
  auto* grid = grid_window ? reinterpret_cast<CSuperGridCtrl*>(::GetWindowLongPtrA(grid_window, GWLP_USERDATA)) : nullptr;
  if (!grid) return rows;
  CDWordArray selected;
  grid->GetSelectedItems(selected);
  for (DWORD row : selected) rows.push_back(static_cast<int>(row));
  return rows;
}

std::vector<std::string> HostedStoryroll::Events() const {
  return container_.events() ? container_.events()->journal() : std::vector<std::string>();
}

void HostedStoryroll::ClearEvents() {
  if (container_.events()) container_.events()->ClearJournal();
}

void StoryrollTest::SetUpTestSuite() {
  registered_ = RegisterStoryroll().release();
  standin_ = new ravlin_tests::PinnedStandin(StoryrollFixture());
}

void StoryrollTest::TearDownTestSuite() {
  delete standin_;
  standin_ = nullptr;
  delete registered_;
  registered_ = nullptr;
}

void StoryrollTest::SetUp() {
  Check(client()->LoadFixture(comsupport::Bstr(StoryrollFixture()).get()));
  Check(client()->ClearFailures());
  ClearJournal();
}

bool StoryrollTest::JournalHas(const std::string& text) {
  for (const std::string& line : Journal()) {
    if (line.find(text) != std::string::npos) return true;
  }
  return false;
}

}  // namespace storyroll_tests
