// How a Pixmap looks to GDI: a 32-bit top-down DIB whose rows need no
// padding, so the pixmap's memory is the DIB's bits as they stand.
#pragma once

#include <windows.h>

namespace tw::win32 {

inline BITMAPINFO TopDownInfo(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down, like Pixmap
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

}  // namespace tw::win32
