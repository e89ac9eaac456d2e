// Header items as the grid draws them: image, title, and the engraved sort mark.
#pragma once

#include <windows.h>
#include <commctrl.h>

namespace vinnet::grid {

constexpr int kSortMarkWidth = 7;

// item is the header's owner-draw request; sort_mark: this item is the sort column's.
void DrawHeaderItem(const DRAWITEMSTRUCT& item, HIMAGELIST images, bool sort_mark, bool ascending);

// A triangle kSortMarkWidth wide with its left edge at left, centred on middle; pointing up for
// ascending. Its edges take the button highlight and shadow colours, so it looks engraved.
void DrawSortMark(HDC dc, int left, int middle, bool ascending);

}  // namespace vinnet::grid
