// Something to work on in a fresh Wine desktop, which is otherwise an empty
// blue: a window with a hue band, grey steps, colour blocks, one-pixel lines
// and a 10-pixel scale, for the lens, the Dropper and the Measurer.
#include <windows.h>

#include <cmath>

namespace {

COLORREF Hue(double h) {  // h in [0, 6)
  const double f = h - std::floor(h);
  const auto up = static_cast<BYTE>(255 * f), down = static_cast<BYTE>(255 * (1 - f));
  switch (static_cast<int>(h) % 6) {
    case 0: return RGB(255, up, 0);
    case 1: return RGB(down, 255, 0);
    case 2: return RGB(0, 255, up);
    case 3: return RGB(0, down, 255);
    case 4: return RGB(up, 0, 255);
    default: return RGB(255, 0, down);
  }
}

void Fill(HDC dc, int l, int t, int r, int b, COLORREF c) {
  const RECT rect{l, t, r, b};
  HBRUSH brush = CreateSolidBrush(c);
  FillRect(dc, &rect, brush);
  DeleteObject(brush);
}

void Paint(HDC dc, const RECT& client) {
  const int w = client.right;
  Fill(dc, 0, 0, w, client.bottom, RGB(255, 255, 255));
  for (int x = 0; x < w; ++x) Fill(dc, x, 0, x + 1, 60, Hue(6.0 * x / w));
  for (int i = 0; i < 16; ++i) Fill(dc, i * w / 16, 60, (i + 1) * w / 16, 100, RGB(i * 17, i * 17, i * 17));
  const COLORREF blocks[] = {RGB(100, 150, 200), RGB(200, 3, 3), RGB(10, 11, 12), RGB(104, 103, 200),
                             RGB(255, 200, 0), RGB(0, 128, 64)};
  for (int i = 0; i < 6; ++i) Fill(dc, 10 + i * 60, 110, 60 + i * 60, 160, blocks[i]);
  for (int i = 0; i < 20; ++i) Fill(dc, 10 + i * 4, 170, 11 + i * 4, 230, RGB(0, 0, 0));
  for (int x = 100; x < w - 10; x += 10) Fill(dc, x, x % 100 == 0 ? 200 : 215, x + 1, 230, RGB(0, 0, 0));
  SetBkMode(dc, TRANSPARENT);
  RECT text{100, 170, w - 10, 195};
  DrawTextW(dc, L"Tarnwick sample picture: ticks every 10 px", -1, &text, DT_SINGLELINE);
}

LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      RECT client;
      GetClientRect(hwnd, &client);
      Paint(dc, client);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = Proc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = L"TarnwickSamplePicture";
  RegisterClassW(&wc);
  RECT frame{0, 0, 480, 240};
  AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
  HWND hwnd = CreateWindowW(wc.lpszClassName, L"Tarnwick sample picture", WS_OVERLAPPEDWINDOW, 60, 60,
                            frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
  if (hwnd == nullptr) return 1;
  ShowWindow(hwnd, show);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
