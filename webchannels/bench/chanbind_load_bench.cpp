// A synchronous Reset of 10,000 stories in one channel against the client's own EnumStoryData
// transfer of the same stories, in the same run, best of three each; chanbind_load.ratio is the
// transfer's time over the Reset's (goal: at least 0.5). Then the time an asynchronous load of
// the same takes to reach ReadyState 4 (paced by the load timer: 8 rows a step).
#include <windows.h>
#include <objbase.h>

#include <algorithm>
#include <string>

#include "chanbind.h"
#include "comsupport/bstr.h"
#include "standin/control_container.h"
#include "testing/bench_support.h"
#include "testing/process.h"
#include "testing/scripting.h"
#include "testing/standin_client.h"

namespace {

using comsupport::ComPtr;
using comsupport::Variant;
using testing_support::PrintFigure;
using testing_support::PrintRatio;
using testing_support::Seconds;

constexpr long kChannel = 30;
constexpr int kStories = 10000;
constexpr int kRounds = 3;

std::string Fixture() {
  std::string json = "{\"channels\": [{\"id\": 30, \"name\": \"Bulk\", \"stories\": [";
  for (int story = 1; story <= kStories; ++story) {
    json += (story > 1 ? "," : "") + std::string("{\"id\": ") + std::to_string(story) + ", \"title\": \"Update " +
            std::to_string(story) + "\", \"fields\": {\"TEXT\": \"What the update brings\", \"Story Time\": " +
            std::to_string(946684800 + story * 600) + "}, \"attributes\": {\"READ\": " + std::to_string(story % 3 == 0) +
            ", \"KEEP\": 0}}";
  }
  return json + "]}]}";
}

ComPtr<IClassFactory> Factory() {
  HMODULE module = ::LoadLibraryA(testing_support::BuildOutput("Chanbind.dll").c_str());
  using GetClassObject = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
  auto get = module ? reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(::GetProcAddress(module, "DllGetClassObject")))
                    : nullptr;
  ComPtr<IClassFactory> factory;
  if (get) get(CLSID_Chanbind2, IID_IClassFactory, factory.put_void());
  return factory;
}

double TransferRound(IZorvane4* client) {
  ComPtr<IZorvaneChannelCollection> channels;
  client->get_Channels(channels.put());
  ComPtr<IZorvaneChannel> channel;
  Variant id(kChannel);
  channels->get_Item(*id.get(), channel.put());
  ComPtr<IZorvaneChannel2> stories;
  channel->QueryInterface(IID_IZorvaneChannel2, stories.put_void());
  const double began = Seconds();
  Variant data;
  stories->EnumStoryData(STORY_ENUM_FLAG_ALLSTORIES, STORY_ENUM_FORMAT_ARRAY, data.put());
  return (Seconds() - began) * 1000;
}

double ResetRound(IChanbind3* control, long& rows) {
  const double began = Seconds();
  control->Reset(*Variant(-1L).get());
  const double elapsed = (Seconds() - began) * 1000;
  control->get_Count(&rows);
  testing_support::PumpMessages();
  return elapsed;
}

}  // namespace

int main() {
  testing_support::PrepareBenchmarkProcess();
  if (FAILED(::OleInitialize(nullptr))) return 1;
  int result = 0;
  try {
    testing_support::StandinClient standin(Fixture());
    ComPtr<IZorvane4> client = standin.Application();
    ComPtr<IClassFactory> factory = Factory();
    if (!factory) throw std::runtime_error("Chanbind.dll gives no class factory");
    standin::ControlContainer container;
    if (FAILED(container.Create(factory.get()))) throw std::runtime_error("creating the control failed");
    ComPtr<IChanbind3> control;
    container.control()->QueryInterface(IID_IChanbind3, control.put_void());
    control->put_ChannelId(*Variant(kChannel).get());

    double transfer = 1e30, reset = 1e30;
    long rows = 0;
    for (int round = 0; round < kRounds; ++round) {
      transfer = std::min(transfer, TransferRound(client.get()));
      reset = std::min(reset, ResetRound(control.get(), rows));
    }
    if (rows != kStories) throw std::runtime_error("the table has " + std::to_string(rows) + " rows");
    PrintFigure("chanbind_load.transfer", transfer, "ms");
    PrintFigure("chanbind_load", reset, "ms");
    PrintRatio("chanbind_load", transfer / reset);

    // Size decoration only: the shortest pacing the load timer has.
    control->put_Embellish(4);
    control->put_Async(VARIANT_TRUE);
    const double began = Seconds();
    control->Reset(*Variant(-1L).get());
    long state = 0;
    while (control->get_ReadyState(&state), state != READYSTATE_COMPLETE) {
      testing_support::PumpMessages(20);
      if (Seconds() - began > 900) throw std::runtime_error("the asynchronous load did not complete");
    }
    PrintFigure("chanbind_load.async", (Seconds() - began), "s");
    container.Teardown();
  } catch (const std::exception& error) {
    fprintf(stderr, "chanbind_load: %s\n", error.what());
    result = 1;
  }
  ::OleUninitialize();
  return result;
}
