#include "grid_fonts.h"

#include "vinnet/super_grid_ctrl.h"

namespace vinnet::grid {

GridFonts::GridFonts() {
  LOGFONTA base = {};
  NONCLIENTMETRICSA metrics = {};
  metrics.cbSize = sizeof metrics;
  if (::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    base = metrics.lfMessageFont;
  } else {
    ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof base, &base);
  }
  for (int index = 0; index < 4; ++index) {
    LOGFONTA font = base;
    font.lfWeight = (index & 1) ? FW_BOLD : FW_NORMAL;
    font.lfItalic = (index & 2) ? TRUE : FALSE;
    fonts_[index].reset(::CreateFontIndirectA(&font));
    // A font that cannot be made falls back to the stock one rather than to none.
    if (!fonts_[index]) fonts_[index].reset(::CreateFontIndirectA(&base));
  }
}

HFONT GridFonts::ForFlags(DWORD flags) const {
  int index = 0;
  if (flags & SGF_BOLD) index |= 1;
  if (flags & SGF_ITALIC) index |= 2;
  return Font(index);
}

}  // namespace vinnet::grid
