// The host's window: a borderless topmost popup that shows the program's
// surface, and turns window messages into calls of TfrmHost's handlers.
#pragma once

#include <windows.h>

#include <array>
#include <string>
#include <vector>

#include "platform/ports.h"
#include "platform/win32/window_base.h"

namespace tw {
class TfrmHost;
}

namespace tw::win32 {

class ApplicationPort;

class HostWindow final : public WindowBase, public IHostWindowPort {
 public:
  // Throws tw::Error when the window cannot be made.
  HostWindow(HINSTANCE instance, ApplicationPort& app);
  ~HostWindow() override;

  void SetHost(TfrmHost* host) { host_ = host; }
  void SetArguments(std::vector<std::string> args) { args_ = std::move(args); }
  void StartStartupTimer();

  void AttachSurface(const Pixmap* surface) override { surface_ = surface; }
  void RegisterScreenCursors() override;
  void ShowHost() override;
  void HideHost() override;
  bool HostVisible() override;
  void BringHostToForeground() override;
  void Present(const Rect& area) override;
  void RepaintHost() override;
  void SetWindowCursor(CursorShape shape) override;
  void SetCursorNow(CursorShape shape) override;
  void StartRunMemoryTimer(unsigned milliseconds) override;

 private:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void OnPaint();
  void OnMouseDown(MouseButton button, WPARAM keys, Point at);
  void OnMouseUp(MouseButton button, WPARAM keys, Point at);
  void OnMouseMove(WPARAM keys, Point at);
  void OnKeyDown(unsigned key);
  void OnContextMenu(Point at, bool fromKeyboard);
  bool OnSetCursor(HWND cursorWindow, UINT hitTest);
  void OnHotKey(std::uintptr_t id);
  void OnActivateApp(bool active);
  bool OnTimer(UINT_PTR id);
  void OnClose();
  void OnEndSession(bool ending);
  void OnDisplayChange();
  HCURSOR CursorFor(CursorShape shape) const;
  void RememberForeground();

  HINSTANCE instance_;
  TfrmHost* host_ = nullptr;
  const Pixmap* surface_ = nullptr;
  CursorShape windowCursor_ = CursorShape::Arrow;
  HWND foregroundBeforeRun_ = nullptr;  // gets the keyboard back after the run
  enum ScreenCursor { kScreenshotCursor, kMeasurerCursor, kDropperCursor, kScreenCursorCount };
  std::array<HCURSOR, kScreenCursorCount> screenCursors_{};  // by ScreenCursor
  std::vector<std::string> args_;
};

}  // namespace tw::win32
