// The channel model's refresh with the story data of every channel (CServices::Refresh, then
// LoadChannelData of each service) against the same access-library calls made directly
// (ZREnumerateChannels, ZRGetChannelInfo of the alerts channel, ZRReadChannelData of each
// channel), on the stand-in client with 100 channels of 200 stories; the direct calls are the
// baseline of the ratio.
#include <windows.h>
#include <objbase.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "ravlin/ravlin.h"
#include "testing/bench_support.h"
#include "testing/standin_client.h"
#include "vinnet/services.h"

namespace {

using testing_support::PrintFigure;
using testing_support::PrintRatio;
using testing_support::Seconds;

constexpr int kChannels = 100;
constexpr int kStories = 200;
constexpr int kRounds = 3;

std::string ManyStories() {
  std::string json = "{\"channels\": [";
  for (int channel = 1; channel <= kChannels; ++channel) {
    json += (channel > 1 ? "," : "") + std::string("{\"id\": ") + std::to_string(channel) + ", \"name\": \"Channel " +
            std::to_string(channel) + "\", \"categories\": [\"News\"], \"storyInfo\": {\"Format\": \"Standard\"}, \"stories\": [";
    for (int story = 1; story <= kStories; ++story) {
      json += (story > 1 ? "," : "") + std::string("{\"id\": ") + std::to_string(channel * 1000 + story) +
              ", \"title\": \"Story " + std::to_string(story) +
              "\", \"fields\": {\"Text\": \"Some text of the story\", \"Story Time\": 946684800}, "
              "\"attributes\": {\"Read\": 0, \"Category\": \"World/Europe\"}}";
    }
    json += "]}";
  }
  return json + "]}";
}

// Milliseconds of the model's refresh with every channel's data; false when it failed.
bool ModelRound(double& elapsed_ms) {
  CServices services;
  double began = Seconds();
  if (!services.Refresh()) return false;
  for (int index = 0; index < services.GetNoServices(); ++index) {
    if (!services.GetService(index)->LoadChannelData()) return false;
  }
  elapsed_ms = (Seconds() - began) * 1000;
  return services.GetNoServices() == kChannels;
}

bool DirectRound(double& elapsed_ms) {
  double began = Seconds();
  ICHANNELINFOLIST* list = ZREnumerateChannels();
  if (!list) return false;
  if (ICHANNELINFO* alerts = ZRGetChannelInfo(0xFDFFFFE1)) alerts->Release();
  const long count = list->GetCount();
  for (long index = 0; index < count; ++index) {
    ICHANNELINFO* info = list->GetItem(index);
    if (!info) continue;
    if (ICHANNELDATA2* data = ZRReadChannelData(info->GetChannelId())) data->Release();
    info->Release();
  }
  list->Release();
  elapsed_ms = (Seconds() - began) * 1000;
  return count == kChannels;
}

}  // namespace

int main() {
  testing_support::PrepareBenchmarkProcess();
  if (FAILED(::OleInitialize(nullptr))) return 2;
  int result = 0;
  try {
    testing_support::StandinClient standin(ManyStories());
    if (RavlinInitialize(1) != 1) {
      std::fprintf(stderr, "the library did not start\n");
      return 3;
    }
    double best_model = 1e12, best_direct = 1e12;
    for (int round = 0; round < kRounds && result == 0; ++round) {
      double model_ms = 0, direct_ms = 0;
      if (!ModelRound(model_ms) || !DirectRound(direct_ms)) {
        std::fprintf(stderr, "a round failed\n");
        result = 4;
        break;
      }
      best_model = std::min(best_model, model_ms);
      best_direct = std::min(best_direct, direct_ms);
    }
    if (result == 0) {
      PrintFigure("vinnet_refresh", best_model, "ms");
      PrintFigure("vinnet_refresh_ravlin", best_direct, "ms");
      PrintRatio("vinnet_refresh", best_direct / best_model);
    }
    RavlinDeinitialize();
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    result = 5;
  }
  ::OleUninitialize();
  return result;
}
