#include "win32/window_support.h"

#include "platform/win32/handles.h"

namespace tw::win32::testing {

void DispatchPending() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

void Pump() {
  for (int i = 0; i < 20; ++i) {
    DispatchPending();
    Sleep(10);
  }
}

ColorRef ScreenPixel(int x, int y) {
  const WindowDC screen(nullptr);
  return GetPixel(screen.get(), x, y);
}

}  // namespace tw::win32::testing
