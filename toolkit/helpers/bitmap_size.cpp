#include "vinnet/helpers.h"

int GetBitmapSize(HBITMAP bitmap, SIZE& size) {
  BITMAP description;
  if (!bitmap || ::GetObjectA(bitmap, sizeof description, &description) != sizeof description) return 0;
  size.cx = description.bmWidth;
  size.cy = description.bmHeight;
  return 1;
}
