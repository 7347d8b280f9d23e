// The host window and the screen port against the real window manager and
// GDI (under Wine in CI).
#include <gtest/gtest.h>

#include <windows.h>

#include "app/host_win32.h"
#include "platform/win32/application_win32.h"
#include "platform/win32/handles.h"
#include "platform/win32/screen_win32.h"
#include "win32/window_support.h"

namespace tw {
namespace {

using win32::testing::Pump;
using win32::testing::ScreenPixel;

// A plain window of ours that paints a known pattern: 8-pixel squares whose
// colour tells their place.
class PatternWindow {
 public:
  PatternWindow(int x, int y, int w, int h) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &PatternWindow::Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TarnwickTestPattern";
    RegisterClassW(&wc);
    hwnd_ = CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"pattern", WS_POPUP | WS_VISIBLE, x, y, w, h,
                            nullptr, nullptr, wc.hInstance, nullptr);
    UpdateWindow(hwnd_);
    Pump();
  }
  ~PatternWindow() { DestroyWindow(hwnd_); }
  static ColorRef ColorAt(int cx, int cy) { return RGBColor(static_cast<std::uint8_t>((cx / 8) * 20), static_cast<std::uint8_t>((cy / 8) * 20), 0x80); }

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_PAINT) {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      RECT rc;
      GetClientRect(hwnd, &rc);
      for (int y = 0; y < rc.bottom; y += 8)
        for (int x = 0; x < rc.right; x += 8) {
          win32::UniqueBrush brush(CreateSolidBrush(ColorAt(x, y)));
          RECT cell{x, y, x + 8, y + 8};
          FillRect(dc, &cell, brush.get());
        }
      EndPaint(hwnd, &ps);
      return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
  HWND hwnd_;
};

TEST(ScreenWin32, CaptureCopiesAKnownWindowsPixels) {
  PatternWindow pattern(40, 30, 96, 64);
  win32::ScreenPort screen;
  const Size size = screen.ScreenSize();
  ASSERT_GT(size.width, 200);
  auto canvas = screen.AcquireDesktopCanvas();
  ASSERT_TRUE(canvas);
  Pixmap capture(size.width + 50, size.height + 50, 0xFFFFFF);
  canvas->CopyTo({0, 0, size.width, size.height}, capture);
  canvas.reset();
  for (int y = 0; y < 64; y += 5)
    for (int x = 0; x < 96; x += 7)
      ASSERT_EQ(PixelToColorRef(capture.Pixel(40 + x, 30 + y)), PatternWindow::ColorAt(x, y)) << x << "," << y;
  // The margin is never written by the capture.
  EXPECT_EQ(capture.Pixel(size.width + 10, 5), 0xFFFFFFu);
  EXPECT_EQ(capture.Pixel(5, size.height + 10), 0xFFFFFFu);
}

TEST(ScreenWin32, CursorAndDpi) {
  win32::ScreenPort screen;
  ASSERT_TRUE(SetCursorPos(123, 77));
  EXPECT_EQ(screen.CursorPos(), (Point{123, 77}));
  EXPECT_GT(screen.LogicalDpi(), 0);
}

TEST(HostWindowWin32, HostIsBorderlessTopmostAndCoversTheScreen) {
  win32::ApplicationPort app(GetModuleHandleW(nullptr));
  win32::HostWindow window(GetModuleHandleW(nullptr), app);
  ASSERT_NE(window.Handle(), nullptr);
  EXPECT_FALSE(window.HostVisible());  // created hidden
  wchar_t caption[64]{};
  GetWindowTextW(window.Handle(), caption, 64);
  EXPECT_STREQ(caption, L"Velmora Tarnwick");

  const Size screen{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  Pixmap surface(screen.width, screen.height, 0x00336699);
  window.AttachSurface(&surface);
  window.ShowHost();
  Pump();
  EXPECT_TRUE(window.HostVisible());
  const LONG_PTR style = GetWindowLongPtrW(window.Handle(), GWL_STYLE);
  const LONG_PTR exStyle = GetWindowLongPtrW(window.Handle(), GWL_EXSTYLE);
  EXPECT_EQ(style & (WS_CAPTION | WS_THICKFRAME | WS_BORDER), 0);
  EXPECT_NE(style & WS_POPUP, 0);
  EXPECT_NE(exStyle & WS_EX_TOPMOST, 0);
  RECT rc{};
  GetWindowRect(window.Handle(), &rc);
  EXPECT_EQ(rc.left, 0);
  EXPECT_EQ(rc.top, 0);
  EXPECT_EQ(rc.right, screen.width);
  EXPECT_EQ(rc.bottom, screen.height);

  window.HideHost();
  EXPECT_FALSE(window.HostVisible());
}

TEST(HostWindowWin32, PresentShowsExactlyTheChangedBand) {
  win32::ApplicationPort app(GetModuleHandleW(nullptr));
  win32::HostWindow window(GetModuleHandleW(nullptr), app);
  const Size screen{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  Pixmap surface(screen.width, screen.height, 0x00102030);
  window.AttachSurface(&surface);
  window.ShowHost();
  window.Present(surface.Bounds());
  Pump();
  // A patch whose rows and columns all differ, so that a flipped or shifted
  // band shows.
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 30; ++x) surface.SetPixel(100 + x, 60 + y, static_cast<PixelValue>(0x00400000 | (x << 8) | (y * 10)));
  surface.SetPixel(5, 5, 0x00FFFFFF);  // changed but not presented
  window.Present({100, 60, 130, 80});
  Pump();  // Wine flushes window surfaces to the screen a moment later
  for (int y = 0; y < 20; y += 3)
    for (int x = 0; x < 30; x += 4)
      ASSERT_EQ(ScreenPixel(100 + x, 60 + y), PixelToColorRef(surface.Pixel(100 + x, 60 + y))) << x << "," << y;
  EXPECT_EQ(ScreenPixel(5, 5), PixelToColorRef(0x00102030));
  EXPECT_EQ(ScreenPixel(99, 60), PixelToColorRef(0x00102030));
  EXPECT_EQ(ScreenPixel(100, 80), PixelToColorRef(0x00102030));
  window.HideHost();
}

}  // namespace
}  // namespace tw
