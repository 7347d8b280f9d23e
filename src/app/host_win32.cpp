#include "app/host_win32.h"

#include <utility>

#include "app/host.h"
#include "platform/win32/application_win32.h"
#include "platform/win32/convert.h"
#include "platform/win32/handles.h"
#include "platform/win32/mouse_input.h"
#include "platform/win32/screen_win32.h"

namespace tw::win32 {

namespace {

constexpr wchar_t kClassName[] = L"TfrmHost";
constexpr UINT_PTR kStartupTimer = 1;
constexpr UINT_PTR kRunMemoryTimer = 2;

ShiftState ShiftFromKeyboard() {
  ShiftState s = 0;
  if (GetKeyState(VK_SHIFT) < 0) s |= kShift;
  if (GetKeyState(VK_CONTROL) < 0) s |= kCtrl;
  if (GetKeyState(VK_MENU) < 0) s |= kAlt;
  return s;
}

MouseButton ButtonOf(UINT msg) {
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP: return MouseButton::Left;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP: return MouseButton::Right;
    default: return MouseButton::Middle;
  }
}

bool CursorOver(HWND window) {
  const std::optional<Point> at = TryCursorPosition();
  return at && WindowFromPoint(ToPOINT(*at)) == window;
}

}  // namespace

HostWindow::HostWindow(HINSTANCE instance, ApplicationPort& app) : WindowBase(app.Errors()), instance_(instance) {
  RegisterWindowClass(instance, {.name = kClassName,
                                 .icon = LoadIconW(instance, L"MAINICON"),
                                 .cursor = nullptr,  // WM_SETCURSOR decides
                                 .background = GetSysColorBrush(COLOR_APPWORKSPACE)});
  // A tool window: the host never shows a task bar button of its own.
  Create(instance, kClassName,
         {.exStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW,
          .title = L"Velmora Tarnwick",
          // Without it the host's drawing would paint over the info window.
          .style = WS_POPUP | WS_CLIPCHILDREN,
          .width = GetSystemMetrics(SM_CXSCREEN),
          .height = GetSystemMetrics(SM_CYSCREEN)});
}

HostWindow::~HostWindow() { Destroy(); }

void HostWindow::StartStartupTimer() {
  // The first-run flow starts from the message loop, just after the start.
  constexpr UINT kStartupDelayMs = 2;
  StartTimer(kStartupTimer, kStartupDelayMs);
}

LRESULT HostWindow::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  // Until the program object exists, and after it is gone, the host is a
  // plain window.
  if (host_ == nullptr) return Default(msg, wParam, lParam);
  switch (msg) {
    case WM_PAINT: OnPaint(); return 0;
    case WM_ERASEBKGND: return 1;  // the surface covers everything
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: OnMouseDown(ButtonOf(msg), wParam, PointOf(lParam)); return 0;
    case WM_LBUTTONUP:
    case WM_MBUTTONUP: OnMouseUp(ButtonOf(msg), wParam, PointOf(lParam)); return 0;
    case WM_RBUTTONUP:
      OnMouseUp(MouseButton::Right, wParam, PointOf(lParam));
      // WM_CONTEXTMENU follows through DefWindowProc.
      return Default(msg, wParam, lParam);
    case WM_MOUSEMOVE: OnMouseMove(wParam, PointOf(lParam)); return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: OnKeyDown(static_cast<unsigned>(wParam)); return 0;
    case WM_SYSCHAR: return 0;  // Alt+letter is a command here, not a menu beep
    case WM_SYSCOMMAND:
      // Letting go of Alt (after Alt+C, Alt+S) would put the window into
      // menu mode, and the next arrow key would go to a menu it has not got.
      if ((wParam & 0xFFF0) == SC_KEYMENU) return 0;
      break;
    case WM_CONTEXTMENU: OnContextMenu(PointOf(lParam), lParam == -1); return 0;
    case WM_SETCURSOR:
      if (OnSetCursor(reinterpret_cast<HWND>(wParam), LOWORD(lParam))) return TRUE;
      break;
    case WM_HOTKEY: OnHotKey(static_cast<std::uintptr_t>(wParam)); return 0;
    case WM_ACTIVATEAPP: OnActivateApp(wParam != FALSE); return 0;
    case WM_TIMER:
      if (OnTimer(wParam)) return 0;
      break;
    case WM_CLOSE: OnClose(); return 0;
    // The session goes on ending whatever the program does; it ends with it.
    case WM_QUERYENDSESSION: return TRUE;
    case WM_ENDSESSION: OnEndSession(wParam != FALSE); return 0;
    case WM_DISPLAYCHANGE: OnDisplayChange(); return 0;
    default: break;
  }
  return Default(msg, wParam, lParam);
}

void HostWindow::OnPaint() {
  PaintGuard paint(Handle());
  host_->FormPaint(paint.Area());
  if (surface_ != nullptr && paint.dc() != nullptr) PresentToDC(paint.dc(), *surface_, paint.Area());
}

void HostWindow::OnMouseDown(MouseButton button, WPARAM keys, Point at) {
  SetCapture(Handle());
  host_->FormMouseDown(button, ShiftFromMouse(keys), at.x, at.y);
}

void HostWindow::OnMouseUp(MouseButton button, WPARAM keys, Point at) {
  if ((keys & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) == 0) ReleaseCapture();
  host_->FormMouseUp(button, ShiftFromMouse(keys), at.x, at.y);
}

void HostWindow::OnMouseMove(WPARAM keys, Point at) { host_->FormMouseMove(ShiftFromMouse(keys), at.x, at.y); }

void HostWindow::OnKeyDown(unsigned key) { host_->FormKeyDown(key, ShiftFromKeyboard()); }

void HostWindow::OnContextMenu(Point at, bool fromKeyboard) {
  if (fromKeyboard) at = CursorPosition();  // no position given
  host_->FormContextPopup(at);
}

bool HostWindow::OnSetCursor(HWND cursorWindow, UINT hitTest) {
  // Over the info window its own parts decide (arrow, or a hand over a
  // value to copy).
  if (hitTest != HTCLIENT || cursorWindow != Handle()) return false;
  if (host_->OnSetCursor(true)) return true;
  SetCursor(CursorFor(windowCursor_));
  return true;
}

void HostWindow::OnHotKey(std::uintptr_t id) { host_->OnHotKey(id); }

void HostWindow::OnActivateApp(bool active) {
  if (!active) host_->OnApplicationDeactivate();
}

void HostWindow::StartRunMemoryTimer(unsigned milliseconds) { StartTimer(kRunMemoryTimer, milliseconds); }

bool HostWindow::OnTimer(UINT_PTR id) {
  if (id != kStartupTimer && id != kRunMemoryTimer) return false;
  KillTimer(Handle(), id);  // each fires once
  if (id == kStartupTimer)
    host_->StartupTimerTick(args_);
  else
    host_->ReleaseRunMemory();
  return true;
}

void HostWindow::OnEndSession(bool ending) {
  if (ending) host_->EndSession();
}

void HostWindow::OnDisplayChange() { host_->DisplayChanged(); }

void HostWindow::OnClose() {
  if (host_->FormCloseQuery()) host_->FormClose();
}

HCURSOR HostWindow::CursorFor(CursorShape shape) const {
  switch (shape) {
    case CursorShape::None: return nullptr;
    case CursorShape::Arrow: return LoadCursorW(nullptr, IDC_ARROW);
    case CursorShape::Cross: return LoadCursorW(nullptr, IDC_CROSS);
    case CursorShape::Screenshot: return screenCursors_[kScreenshotCursor];
    case CursorShape::Measurer: return screenCursors_[kMeasurerCursor];
    case CursorShape::Dropper: return screenCursors_[kDropperCursor];
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
  screenCursors_[kScreenshotCursor] = LoadCursorW(instance_, L"SCREENSHOT");
  screenCursors_[kMeasurerCursor] = LoadCursorW(instance_, L"MEASURER");
  screenCursors_[kDropperCursor] = LoadCursorW(instance_, L"DROPPER");
  for (HCURSOR& c : screenCursors_)
    if (c == nullptr) c = LoadCursorW(nullptr, IDC_CROSS);
}

void HostWindow::ShowHost() {
  SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
               SWP_SHOWWINDOW);
  SetForegroundWindow(Handle());
  SetFocus(Handle());
  UpdateWindow(Handle());
  // A window that appears under a still mouse gets no WM_SETCURSOR until the
  // mouse moves; the tool's cursor (or none, for the Magnifier) must show at
  // once.
  if (CursorOver(Handle())) SetCursor(CursorFor(windowCursor_));
}

void HostWindow::HideHost() {
  // Left to itself Windows activates whatever window is next below, not the
  // one the user was working in (the About box a hot key ran over, say). So
  // that one is activated first, while the host still covers it; a run that
  // ended because the user went to another program leaves it alone.
  const HWND previous = std::exchange(foregroundBeforeRun_, nullptr);
  if (GetForegroundWindow() == Handle() && previous != nullptr && IsWindowVisible(previous))
    SetForegroundWindow(previous);
  ShowWindow(Handle(), SW_HIDE);
}

bool HostWindow::HostVisible() { return IsWindowVisible(Handle()) != FALSE; }

void HostWindow::BringHostToForeground() {
  RememberForeground();
  SetForegroundWindow(Handle());
}

void HostWindow::RememberForeground() {
  const HWND foreground = GetForegroundWindow();
  if (foreground != Handle()) foregroundBeforeRun_ = foreground;
}

void HostWindow::Present(const Rect& area) {
  if (surface_ == nullptr || !HostVisible()) return;
  WindowDC dc(Handle());
  if (dc) PresentToDC(dc.get(), *surface_, area);
}

void HostWindow::RepaintHost() {
  InvalidateRect(Handle(), nullptr, FALSE);
  UpdateWindow(Handle());
}

void HostWindow::SetWindowCursor(CursorShape shape) {
  windowCursor_ = shape;
  if (CursorOver(Handle())) SetCursor(CursorFor(shape));
}

void HostWindow::SetCursorNow(CursorShape shape) { SetCursor(CursorFor(shape)); }

}  // namespace tw::win32
