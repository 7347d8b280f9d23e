#include "app/preferences/help_popup_win32.h"

#include <algorithm>

#include "platform/win32/handles.h"
#include "platform/win32/message_font.h"
#include "platform/win32/utf.h"
#include "platform/win32/window_base.h"

namespace tw::win32 {

namespace {

constexpr int kMargin = 6;         // between the border and the text, in pixels
constexpr int kWidthInChars = 48;  // the widest line, in average characters

class HelpPopup final : public WindowBase {
 public:
  HelpPopup(HINSTANCE instance, HWND owner, const Rect& control, const std::string& text)
      : WindowBase(nullptr), text_(Widen(text)), font_(CreateMessageFont()) {
    RegisterWindowClass(instance, {.name = kHelpPopupClass,
                                   .cursor = LoadCursorW(nullptr, IDC_ARROW),
                                   .background = GetSysColorBrush(COLOR_INFOBK)});
    const Size textSize = MeasureText();
    RECT frame{0, 0, textSize.width + 2 * kMargin, textSize.height + 2 * kMargin};
    AdjustWindowRectEx(&frame, WS_POPUP | WS_BORDER, FALSE, WS_EX_TOPMOST | WS_EX_TOOLWINDOW);
    const Size size{frame.right - frame.left, frame.bottom - frame.top};
    const Point at = PlaceBeside(control, size);
    Create(instance, kHelpPopupClass,
           {.exStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW,
            .title = text_.c_str(),
            .style = WS_POPUP | WS_BORDER,
            .x = at.x,
            .y = at.y,
            .width = size.width,
            .height = size.height,
            .parent = owner});
  }

  // Shown and active until a click (anywhere) or a key ends it.
  void RunModal() {
    ShowWindow(Handle(), SW_SHOWNORMAL);
    SetCapture(Handle());
    MSG msg;
    while (Handle() != nullptr && GetCapture() == Handle()) {
      const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
      if (got == 0) {
        PostQuitMessage(static_cast<int>(msg.wParam));  // the program is ending: its loop must see it
        break;
      }
      if (got < 0) break;
      if (IsClosingInput(msg.message)) break;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (GetCapture() == Handle()) ReleaseCapture();
    // The key or click that closed the popup is not passed on: it was meant
    // for the popup, not for the control under it.
    if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) DropMatchingKeyUp(msg.wParam);
    Destroy();
  }

 private:
  static bool IsClosingInput(UINT message) {
    switch (message) {
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN:
      case WM_LBUTTONDOWN:
      case WM_RBUTTONDOWN:
      case WM_MBUTTONDOWN:
      case WM_NCLBUTTONDOWN:
      case WM_NCRBUTTONDOWN: return true;
      default: return false;
    }
  }

  void DropMatchingKeyUp(WPARAM key) {
    MSG up;
    if (PeekMessageW(&up, nullptr, WM_KEYUP, WM_SYSKEYUP, PM_NOREMOVE) && up.wParam == key)
      PeekMessageW(&up, nullptr, up.message, up.message, PM_REMOVE);
  }

  Size MeasureText() {
    const WindowDC dc(nullptr);
    const SelectionRestorer font(dc.get(), font_.get());
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc.get(), &metrics);
    RECT r{0, 0, metrics.tmAveCharWidth * kWidthInChars, 0};
    DrawTextW(dc.get(), text_.c_str(), static_cast<int>(text_.size()), &r,
              DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    return {r.right - r.left, r.bottom - r.top};
  }

  // Below the control's left end, kept inside the work area of its monitor.
  static Point PlaceBeside(const Rect& control, Size size) {
    const RECT anchor{control.left, control.top, control.right, control.bottom};
    MONITORINFO monitor{.cbSize = sizeof(MONITORINFO)};
    GetMonitorInfoW(MonitorFromRect(&anchor, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    Point at{control.left, control.bottom + 2};
    if (at.y + size.height > work.bottom) at.y = control.top - 2 - size.height;
    at.x = std::max<int>(work.left, std::min<int>(at.x, work.right - size.width));
    at.y = std::max<int>(work.top, at.y);
    return at;
  }

  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg == WM_PAINT) {
      OnPaint();
      return 0;
    }
    return Default(msg, wParam, lParam);
  }

  void OnPaint() {
    const PaintGuard paint(Handle());
    if (paint.dc() == nullptr) return;
    RECT client;
    GetClientRect(Handle(), &client);
    InflateRect(&client, -kMargin, -kMargin);
    const SelectionRestorer font(paint.dc(), font_.get());
    SetBkMode(paint.dc(), TRANSPARENT);
    SetTextColor(paint.dc(), GetSysColor(COLOR_INFOTEXT));
    DrawTextW(paint.dc(), text_.c_str(), static_cast<int>(text_.size()), &client, DT_WORDBREAK | DT_NOPREFIX);
  }

  std::wstring text_;
  UniqueFont font_;
};

}  // namespace

void ShowHelpPopup(HINSTANCE instance, HWND owner, const Rect& control, const std::string& text) {
  HelpPopup popup(instance, owner, control, text);
  popup.RunModal();
}

}  // namespace tw::win32
