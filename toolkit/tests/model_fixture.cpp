#include "model_fixture.h"

#include <cstdlib>
#include <ctime>

#include "comsupport/bstr.h"

namespace vinnet_tests {

ravlin_tests::PinnedStandin* ModelTest::standin_ = nullptr;
ravlin_tests::StartedLibrary* ModelTest::library_ = nullptr;

std::string ModelFixture() {
  return R"json({
  "channels": [
    { "id": 9, "name": "News", "categories": ["News", "World"], "directoryEntry": 309, "flags": 1048576,
      "lastVisited": 1000000000, "logoFile": "C:\\logos\\news.bmp", "attributeFlags": 3,
      "storyInfo": { "Format": "Table of stories" },
      "stories": [
        { "id": 901, "title": "Europe one", "attributes": { "Category": "World/Europe", "Read": 0 } },
        { "id": 902, "title": "Europe two", "attributes": { "Category": "World/Europe", "Read": 1, "Alerted": 1 } },
        { "id": 903, "title": "Match", "attributes": { "Category": "Sport" } },
        { "id": 904, "title": "Band", "attributes": { "Category": "AC//DC/Live", "Read": 1 } },
        { "id": 905, "title": "Plain", "attributes": { "Category": "" } },
        { "id": 906, "title": "Lower", "attributes": { "Category": "world", "Read": 0 } }
      ] },
    { "id": 7, "name": "Kelvane", "flags": 4096, "active": false, "directoryEntry": 307, "attributeFlags": 4,
      "storyInfo": { "Format": "Standard" },
      "stories": [
        { "id": 1001, "title": "Driver", "fields": { "Text": "New driver", "Story Time": 946684800 } },
        { "id": 1002, "title": "Noon", "fields": { "Story Time": 946728000 } },
        { "id": 1003, "title": "Summer", "fields": { "Story Time": 960000000 } },
        { "id": 1004, "title": "Timeless" }
      ] },
    { "id": 20, "name": "Modes",
      "stories": [
        { "id": 1, "title": "  Budget  ", "fields": { "Text": "Full text" } },
        { "id": 2, "title": "Empty" },
        { "id": 3, "title": "Rain",
          "fields": { "Author": "Ann", "Parameter Name 1": "%Title% at", "Parameter Value 1": "noon",
                      "Parameter Name 2": "Where", "Parameter Value 2": "Oslo" },
          "attributes": { "Scroller Field": "2,%Title%,1,%Author% says,1" } },
        { "id": 4, "title": "Tabled", "fields": { "Text": "t" }, "attributes": { "Format": "TABLE view" } },
        { "id": 5, "title": "Formatted", "fields": { "Text": "f" },
          "attributes": { "Format": "plain", "Scroller Field": "2,%Title%,1" } },
        { "id": 6, "title": "Six", "attributes": { "Scroller Field": "3,%Title% (%Missing%),1,%Text,1" } },
        { "id": 7, "title": "Seven", "fields": { "A": " ", "B": "bee" },
          "attributes": { "Scroller Field": "7,%Title%,1,%A%,0,%B%,1" } },
        { "id": 8, "title": "Eight", "fields": { "A": "ay", "B": "bee", "Parameter Name 1": "P", "Parameter Value 1": "v" },
          "attributes": { "Scroller Field": "6,%Title%,1,%A%,1,%B%,1" } },
        { "id": 9, "title": "Nine", "fields": { "A": "ay", "B": "bee" },
          "attributes": { "Scroller Field": "4,%Title%,1,%A%,1,%B%,1" } },
        { "id": 10, "title": "Ten", "attributes": { "Scroller Field": "9,%Title%,1" } },
        { "id": 11, "title": "Eleven", "fields": { "A": "ay", "B": "bee" },
          "attributes": { "Scroller Field": "5,%Title%,1,%A%,1,%B%,1" } },
        { "id": 12, "title": "Twelve", "fields": { "A": "ay", "B": "bee" },
          "attributes": { "Scroller Field": "1,%Title%,1,%A%,1" } }
      ] },
    { "id": 21, "name": "Scroll", "storyInfo": { "Scroller Field": "2,%Title%,1,%Text%,1" },
      "stories": [ { "id": 2101, "title": "Head", "fields": { "Text": "body" } } ] },
    { "id": 12, "name": "" },
    { "id": 4261412833, "name": "Alert Center",
      "stories": [
        { "id": 501, "title": "Driver alert",
          "attributes": { "Category": "Updates", "Alert Name": "Driver", "Alert Channel Id": 9, "Alert Story Id": 901, "Read": 0 } },
        { "id": 502, "title": "Bios alert",
          "attributes": { "Category": "", "Alert Name": "Bios", "Alert Channel Id": 9, "Alert Story Id": 902, "Read": 1 } },
        { "id": 503, "title": "Net alert", "attributes": { "Category": "Net//Work", "Alert Channel Id": 9, "Alert Story Id": 903 } }
      ] }
  ]
})json";
}

void ModelTest::SetUpTestSuite() {
  standin_ = new ravlin_tests::PinnedStandin(ModelFixture());
  library_ = new ravlin_tests::StartedLibrary();
}

void ModelTest::TearDownTestSuite() {
  // The model goes first: it holds the client's data; then the library, then the client.
  DestroyCServices();
  delete library_;
  library_ = nullptr;
  delete standin_;
  standin_ = nullptr;
}

void ModelTest::SetUp() {
  ASSERT_TRUE(library_->started());
  Load(ModelFixture());
}

void ModelTest::Load(const std::string& fixture) {
  Check(control()->LoadFixture(comsupport::Bstr(fixture).get()));
  Check(control()->ClearFailures());
  Check(control()->ClearJournal());
}

void ModelTest::Fail(const std::string& member, HRESULT hr) {
  Check(control()->FailMember(comsupport::Bstr(member).get(), hr, 0));
}

LoadedModel::LoadedModel() {
  EXPECT_EQ(1, services_.Refresh());
  for (int index = 0; index < services_.GetNoServices(); ++index) services_.GetService(index)->LoadChannelData();
  if (CService* alerts = services_.GetMessages()) alerts->LoadChannelData();
}

CService& LoadedModel::Channel(DWORD id) {
  CService* service = services_.GetServiceByID(id);
  if (!service) throw std::runtime_error("no channel " + std::to_string(id) + " in the model");
  return *service;
}

long LoadedModel::Index(DWORD channel_id, DWORD story_id) {
  long index = Channel(channel_id).GetStoryIndex(story_id);
  if (index < 0) throw std::runtime_error("no story " + std::to_string(story_id));
  return index;
}

FixedTimeZone::FixedTimeZone(const char* zone) {
  const char* previous = std::getenv("TZ");
  had_previous_ = previous != nullptr;
  if (previous) previous_ = previous;
  _putenv_s("TZ", zone);
  _tzset();
}

FixedTimeZone::~FixedTimeZone() {
  _putenv_s("TZ", had_previous_ ? previous_.c_str() : "");
  _tzset();
}

}  // namespace vinnet_tests
