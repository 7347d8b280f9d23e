// The clipboard port against the real clipboard (under Wine in CI).
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "core/error.h"
#include "platform/win32/clipboard_win32.h"

namespace tw {
namespace {

TEST(ClipboardWin32, ABitmapReadsBackPixelExactAtItsSize) {
  Pixmap picture(37, 23);
  for (int y = 0; y < 23; ++y)
    for (int x = 0; x < 37; ++x)
      picture.SetPixel(x, y, static_cast<PixelValue>((x * 7) << 16 | (y * 11) << 8 | ((x + y) * 3)));
  win32::ClipboardPort port(nullptr);
  port.SetBitmap(picture);

  ASSERT_TRUE(OpenClipboard(nullptr));
  auto bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
  ASSERT_NE(bitmap, nullptr);
  BITMAP info{};
  GetObjectW(bitmap, sizeof(info), &info);
  EXPECT_EQ(info.bmWidth, 37);
  EXPECT_EQ(info.bmHeight, 23);
  std::vector<PixelValue> read(37 * 23);
  BITMAPINFO bi{};
  bi.bmiHeader = {sizeof(BITMAPINFOHEADER), 37, -23, 1, 32, BI_RGB};
  HDC dc = GetDC(nullptr);
  EXPECT_EQ(GetDIBits(dc, bitmap, 0, 23, read.data(), &bi, DIB_RGB_COLORS), 23);
  ReleaseDC(nullptr, dc);
  CloseClipboard();
  for (PixelValue& p : read) p &= 0xFFFFFF;
  EXPECT_TRUE(std::equal(read.begin(), read.end(), picture.Data().begin()));
}

TEST(ClipboardWin32, AClipboardHeldOpenElsewhereIsReportedAndLeftAlone) {
  win32::ClipboardPort port(nullptr);
  port.SetText("kept");
  // Another window (here, of another thread) holds it open.
  HANDLE opened = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE events[2] = {opened, done};
  HANDLE holder = CreateThread(
      nullptr, 0,
      [](LPVOID p) -> DWORD {
        auto* events = static_cast<HANDLE*>(p);
        HWND w = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        OpenClipboard(w);
        SetEvent(events[0]);
        WaitForSingleObject(events[1], 10000);
        CloseClipboard();
        DestroyWindow(w);
        return 0;
      },
      events, 0, nullptr);
  ASSERT_EQ(WaitForSingleObject(opened, 10000), WAIT_OBJECT_0);
  std::string error;
  try {
    port.SetBitmap(Pixmap(4, 4));
  } catch (const Error& e) {
    error = e.what();
  }
  SetEvent(done);
  WaitForSingleObject(holder, 10000);
  CloseHandle(holder);
  CloseHandle(opened);
  CloseHandle(done);
  EXPECT_EQ(error, "Cannot open clipboard");
  ASSERT_TRUE(OpenClipboard(nullptr));
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_BITMAP));
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_UNICODETEXT));
  CloseClipboard();
}

}  // namespace
}  // namespace tw
