#include "app/host_win32.h"

#include <windowsx.h>

#include <exception>

#include "app/host.h"
#include "platform/win32/application_win32.h"
#include "platform/win32/handles.h"
#include "platform/win32/screen_win32.h"

namespace tw::win32 {

namespace {

constexpr wchar_t kClassName[] = L"TfrmHost";
constexpr UINT_PTR kStartupTimer = 1;

ShiftState ShiftFromMouse(WPARAM wParam) {
  ShiftState s = 0;
  if ((wParam & MK_SHIFT) != 0) s |= kShift;
  if ((wParam & MK_CONTROL) != 0) s |= kCtrl;
  if ((wParam & MK_LBUTTON) != 0) s |= kLeftButton;
  if ((wParam & MK_RBUTTON) != 0) s |= kRightButton;
  if ((wParam & MK_MBUTTON) != 0) s |= kMiddleButton;
  if (GetKeyState(VK_MENU) < 0) s |= kAlt;
  return s;
}

ShiftState ShiftFromKeyboard() {
  ShiftState s = 0;
  if (GetKeyState(VK_SHIFT) < 0) s |= kShift;
  if (GetKeyState(VK_CONTROL) < 0) s |= kCtrl;
  if (GetKeyState(VK_MENU) < 0) s |= kAlt;
  return s;
}

}  // namespace

HostWindow::HostWindow(HINSTANCE instance, ApplicationPort& app) : instance_(instance), app_(app) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = &HostWindow::Proc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconW(instance, L"MAINICON");
  wc.hCursor = nullptr;  // WM_SETCURSOR decides
  wc.hbrBackground = GetSysColorBrush(COLOR_APPWORKSPACE);
  wc.lpszClassName = kClassName;
  RegisterClassExW(&wc);
  // A tool window: the host never shows a task bar button of its own.
  hwnd_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kClassName, L"Velmora Tarnwick", WS_POPUP, 0, 0,
                          GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                          instance, this);
}

HostWindow::~HostWindow() { Destroy(); }

void HostWindow::Destroy() {
  if (hwnd_ != nullptr) {
    HWND h = hwnd_;
    DestroyWindow(h);
    hwnd_ = nullptr;
  }
}

void HostWindow::StartStartupTimer() { SetTimer(hwnd_, kStartupTimer, 2, nullptr); }

LRESULT CALLBACK HostWindow::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
  if (msg == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    static_cast<HostWindow*>(create->lpCreateParams)->hwnd_ = hwnd;
  }
  auto* self = reinterpret_cast<HostWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self == nullptr || self->host_ == nullptr) return DefWindowProcW(hwnd, msg, wParam, lParam);
  try {
    return self->Handle(msg, wParam, lParam);
  } catch (const std::exception& e) {
    self->app_.ShowError(e.what());
  } catch (...) {
    self->app_.ShowError("Unexpected error");
  }
  return 0;
}

LRESULT HostWindow::Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
  TfrmHost& host = *host_;
  const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
  switch (msg) {
    case WM_PAINT: OnPaint(); return 0;
    case WM_ERASEBKGND: return 1;  // the surface covers everything
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
      SetCapture(hwnd_);
      const MouseButton b = msg == WM_LBUTTONDOWN   ? MouseButton::Left
                            : msg == WM_RBUTTONDOWN ? MouseButton::Right
                                                    : MouseButton::Middle;
      host.FormMouseDown(b, ShiftFromMouse(wParam), x, y);
      return 0;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
      if ((wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) == 0) ReleaseCapture();
      const MouseButton b = msg == WM_LBUTTONUP   ? MouseButton::Left
                            : msg == WM_RBUTTONUP ? MouseButton::Right
                                                  : MouseButton::Middle;
      host.FormMouseUp(b, ShiftFromMouse(wParam), x, y);
      // WM_CONTEXTMENU follows through DefWindowProc.
      return msg == WM_RBUTTONUP ? DefWindowProcW(hwnd_, msg, wParam, lParam) : 0;
    }
    case WM_MOUSEMOVE: host.FormMouseMove(ShiftFromMouse(wParam), x, y); return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      host.FormKeyDown(static_cast<unsigned>(wParam), ShiftFromKeyboard());
      return 0;
    case WM_SYSCHAR: return 0;  // Alt+letter is a command here, not a menu beep
    case WM_CONTEXTMENU: {
      Point at{x, y};
      if (lParam == -1) {  // from the keyboard: no position given
        POINT p{};
        GetCursorPos(&p);
        at = {p.x, p.y};
      }
      host.FormContextPopup(at);
      return 0;
    }
    case WM_SETCURSOR:
      if (OnSetCursor(wParam, lParam)) return TRUE;
      break;
    case WM_HOTKEY: host.OnHotKey(static_cast<std::uintptr_t>(wParam)); return 0;
    case WM_ACTIVATEAPP:
      if (wParam == FALSE) host.OnApplicationDeactivate();
      return 0;
    case WM_TIMER:
      if (wParam == kStartupTimer) {
        KillTimer(hwnd_, kStartupTimer);  // it fires once
        host.StartupTimerTick(args_);
        return 0;
      }
      break;
    case WM_CLOSE:
      if (host.FormCloseQuery()) host.FormClose();
      return 0;
    default: break;
  }
  return DefWindowProcW(hwnd_, msg, wParam, lParam);
}

void HostWindow::OnPaint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd_, &ps);
  host_->FormPaint({ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right, ps.rcPaint.bottom});
  if (surface_ != nullptr)
    PresentToDC(dc, *surface_, {ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right, ps.rcPaint.bottom});
  EndPaint(hwnd_, &ps);
}

bool HostWindow::OnSetCursor(WPARAM wParam, LPARAM lParam) {
  if (LOWORD(lParam) != HTCLIENT) return false;
  if (host_->OnSetCursor(reinterpret_cast<HWND>(wParam) == hwnd_)) return true;
  SetCursor(CursorFor(windowCursor_));
  return true;
}

HCURSOR HostWindow::CursorFor(CursorShape shape) const {
  switch (shape) {
    case CursorShape::None: return nullptr;
    case CursorShape::Arrow: return LoadCursorW(nullptr, IDC_ARROW);
    case CursorShape::Cross: return LoadCursorW(nullptr, IDC_CROSS);
    case CursorShape::Screenshot: return screenCursors_[0];
    case CursorShape::Measurer: return screenCursors_[1];
    case CursorShape::Dropper: return screenCursors_[2];
    case CursorShape::SizeAll: return LoadCursorW(nullptr, IDC_SIZEALL);
    case CursorShape::SizeNWSE: return LoadCursorW(nullptr, IDC_SIZENWSE);
    case CursorShape::SizeNS: return LoadCursorW(nullptr, IDC_SIZENS);
    case CursorShape::SizeNESW: return LoadCursorW(nullptr, IDC_SIZENESW);
    case CursorShape::SizeWE: return LoadCursorW(nullptr, IDC_SIZEWE);
  }
  return LoadCursorW(nullptr, IDC_ARROW);
}

void HostWindow::RegisterScreenCursors() {
  // Shared resource cursors: the system owns them, nothing to destroy.
  screenCursors_[0] = LoadCursorW(instance_, L"SCREENSHOT");
  screenCursors_[1] = LoadCursorW(instance_, L"MEASURER");
  screenCursors_[2] = LoadCursorW(instance_, L"DROPPER");
  for (HCURSOR& c : screenCursors_)
    if (c == nullptr) c = LoadCursorW(nullptr, IDC_CROSS);
}

void HostWindow::ShowHost() {
  SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
               SWP_SHOWWINDOW);
  SetForegroundWindow(hwnd_);
  SetFocus(hwnd_);
  UpdateWindow(hwnd_);
  // A window that appears under a still mouse gets no WM_SETCURSOR until the
  // mouse moves; the tool's cursor (or none, for the Magnifier) must show at
  // once.
  POINT p{};
  if (GetCursorPos(&p) && WindowFromPoint(p) == hwnd_) SetCursor(CursorFor(windowCursor_));
}

void HostWindow::HideHost() { ShowWindow(hwnd_, SW_HIDE); }

bool HostWindow::HostVisible() { return IsWindowVisible(hwnd_) != FALSE; }

void HostWindow::BringHostToForeground() { SetForegroundWindow(hwnd_); }

void HostWindow::Present(const Rect& area) {
  if (surface_ == nullptr || !HostVisible()) return;
  WindowDC dc(hwnd_);
  if (dc) PresentToDC(dc.get(), *surface_, area);
}

void HostWindow::RepaintHost() {
  InvalidateRect(hwnd_, nullptr, FALSE);
  UpdateWindow(hwnd_);
}

void HostWindow::SetWindowCursor(CursorShape shape) {
  windowCursor_ = shape;
  POINT p{};
  if (GetCursorPos(&p) && WindowFromPoint(p) == hwnd_) SetCursor(CursorFor(shape));
}

void HostWindow::SetCursorNow(CursorShape shape) { SetCursor(CursorFor(shape)); }

}  // namespace tw::win32
