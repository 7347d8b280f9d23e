#include "e2e/test_picture_win32.h"

#include <cstdint>

#include "fakes/sample_pictures.h"

namespace e2e {

namespace {
constexpr wchar_t kClassName[] = L"TarnwickE2eTestPicture";
constexpr UINT kSetPattern = WM_APP + 1;
}  // namespace

COLORREF TestPicture::Expected(int pattern, int x, int y) {
  if (pattern == kGifSamples)
    return tw::PixelToColorRef(y < 256 ? tw::samples::FewColoursPixel(x, y, 200) : tw::samples::GradientPixel(x, y));
  // The red channel steps by 85 between patterns, so no pixel is the same
  // in two patterns; the rest makes neighbouring pixels differ, so a shifted
  // or scaled copy shows up as well.
  const int r = (x * 7 + y * 3 + pattern * 85) & 0xFF;
  const int g = (y * 5 + pattern * 40) & 0xFF;
  const int b = ((x ^ y) * 3 + pattern * 150) & 0xFF;
  return RGB(r, g, b);
}

TestPicture::TestPicture(const RECT& where, int pattern) : where_(where), pattern_(pattern) {
  Handle ready(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  HANDLE readyEvent = ready.get();
  thread_ = std::thread([this, readyEvent] { Run(readyEvent); });
  WaitForSingleObject(readyEvent, 10000);
}

TestPicture::~TestPicture() {
  if (hwnd_) PostMessageW(hwnd_, WM_CLOSE, 0, 0);
  if (thread_.joinable()) thread_.join();
}

void TestPicture::SetPattern(int pattern) {
  if (hwnd_) SendMessageW(hwnd_, kSetPattern, static_cast<WPARAM>(pattern), 0);
}

void TestPicture::Run(HANDLE ready) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = kClassName;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  RegisterClassW(&wc);  // fails harmlessly for the second picture of a program
  hwnd_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kClassName, L"Tarnwick test picture", WS_POPUP,
                          where_.left, where_.top, where_.right - where_.left, where_.bottom - where_.top, nullptr,
                          nullptr, wc.hInstance, this);
  if (hwnd_) {
    ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
    UpdateWindow(hwnd_);
  }
  SetEvent(ready);
  if (!hwnd_) return;
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

LRESULT CALLBACK TestPicture::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
  }
  auto* self = reinterpret_cast<TestPicture*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  switch (msg) {
    case WM_PAINT:
      if (self) {
        self->Paint(hwnd);
        return 0;
      }
      break;
    case WM_ERASEBKGND:
      return 1;
    case kSetPattern:
      if (self) {
        self->pattern_ = static_cast<int>(wp);
        InvalidateRect(hwnd, nullptr, FALSE);
        UpdateWindow(hwnd);
        GdiFlush();
      }
      return 0;
    case WM_CLOSE:
      DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

void TestPicture::Paint(HWND hwnd) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  const int w = where_.right - where_.left;
  const int h = where_.bottom - where_.top;
  std::vector<std::uint32_t> pixels(static_cast<size_t>(w) * static_cast<size_t>(h));
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const COLORREF c = Expected(pattern_, where_.left + x, where_.top + y);
      pixels[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)] =
          (static_cast<std::uint32_t>(GetRValue(c)) << 16) | (static_cast<std::uint32_t>(GetGValue(c)) << 8) |
          GetBValue(c);
    }
  }
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(w), static_cast<DWORD>(h), 0, 0, 0, static_cast<UINT>(h),
                    pixels.data(), &bi, DIB_RGB_COLORS);
  EndPaint(hwnd, &ps);
}

std::string TestPicture::Match::Describe() const {
  if (compared == 0) return "no pixel of the picture was compared";
  if (differing == 0) return std::to_string(compared) + " pixels all as expected";
  return std::to_string(differing) + " of " + std::to_string(compared) + " pixels differ; the first at (" +
         std::to_string(firstDifference.x) + "," + std::to_string(firstDifference.y) + ") is " + Hex(seen) +
         " (COLORREF), expected " + Hex(expected);
}

TestPicture::Match TestPicture::Compare(const ScreenShot& shot, int pattern, const std::vector<RECT>& exclude) const {
  Match m;
  RECT area;
  if (!shot.Valid() || !IntersectRect(&area, &where_, &shot.Area())) return m;
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) {
      bool skip = false;
      const POINT p{x, y};
      for (const auto& r : exclude) skip = skip || PtInRect(&r, p);
      if (skip) continue;
      ++m.compared;
      const COLORREF want = Expected(pattern, x, y);
      const COLORREF got = shot.At(x, y);
      if (got != want) {
        if (m.differing++ == 0) {
          m.firstDifference = p;
          m.seen = got;
          m.expected = want;
        }
      }
    }
  }
  return m;
}

bool TestPicture::OnScreen(int pattern) const {
  const Match m = Compare(ScreenShot::Take(where_), pattern);
  return m.compared > 0 && m.differing == 0;
}

}  // namespace e2e
