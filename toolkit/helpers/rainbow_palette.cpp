#include <vector>

#include "vinnet/helpers.h"

namespace {

struct Rgb {
  BYTE red, green, blue;
};

// The 20 colours Windows keeps in every palette: the first eight at the top, the last twelve
// at the bottom of the system palette.
const Rgb kStaticColours[20] = {
    {128, 128, 128}, {255, 0, 0},     {0, 255, 0},     {255, 255, 0},   {0, 0, 255},     {255, 0, 255},  {0, 255, 255},
    {255, 255, 255}, {0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128},    {128, 0, 128},
    {0, 128, 128},   {192, 192, 192}, {192, 220, 192}, {166, 202, 240}, {255, 251, 240}, {160, 160, 164}};

// Dark greys for gradients, then dark single colours for shading.
const BYTE kGreys[12] = {4, 8, 12, 17, 22, 28, 34, 41, 85, 77, 66, 57};
const Rgb kShades[7] = {{32, 0, 0}, {0, 32, 0}, {0, 0, 32}, {64, 0, 0}, {0, 64, 0}, {0, 0, 64}, {96, 96, 96}};
const Rgb kLastFree = {240, 240, 240};

constexpr int kEntries = 256;
constexpr int kCubeStart = 19;
constexpr int kStaticStart = 236;

}  // namespace

HPALETTE CreateRainbowPalette() {
  std::vector<BYTE> storage(sizeof(LOGPALETTE) + (kEntries - 1) * sizeof(PALETTEENTRY));
  LOGPALETTE* palette = reinterpret_cast<LOGPALETTE*>(storage.data());
  palette->palVersion = 0x300;
  palette->palNumEntries = kEntries;
  auto set = [palette](int index, const Rgb& colour) {
    palette->palPalEntry[index] = {colour.red, colour.green, colour.blue, 0};
  };
  int index = 0;
  for (BYTE grey : kGreys) set(index++, {grey, grey, grey});
  for (const Rgb& shade : kShades) set(index++, shade);
  for (int blue = 0; blue < 6; ++blue) {
    for (int green = 0; green < 6; ++green) {
      for (int red = 0; red < 6; ++red) {
        set(index++, {static_cast<BYTE>(red * 51), static_cast<BYTE>(green * 51), static_cast<BYTE>(blue * 51)});
      }
    }
  }
  set(index++, kLastFree);
  for (const Rgb& colour : kStaticColours) set(index++, colour);
  static_assert(kCubeStart == 12 + 7 && kCubeStart + 216 + 1 == kStaticStart, "palette layout");
  return ::CreatePalette(palette);
}
