// The host's window: a borderless topmost popup that shows the program's
// surface, and turns window messages into calls of TfrmHost's handlers.
#pragma once

#include <windows.h>

#include <array>
#include <string>
#include <vector>

#include "platform/ports.h"

namespace tw {
class TfrmHost;
}

namespace tw::win32 {

class ApplicationPort;

class HostWindow final : public IHostWindowPort {
 public:
  HostWindow(HINSTANCE instance, ApplicationPort& app);
  ~HostWindow() override;
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;

  [[nodiscard]] HWND Handle() const { return hwnd_; }
  void SetHost(TfrmHost* host) { host_ = host; }
  void SetArguments(std::vector<std::string> args) { args_ = std::move(args); }
  void StartStartupTimer();
  void Destroy();

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

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;
  LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam);
  void OnPaint();
  bool OnSetCursor(WPARAM wParam, LPARAM lParam);
  HCURSOR CursorFor(CursorShape shape) const;

  HINSTANCE instance_;
  ApplicationPort& app_;
  HWND hwnd_ = nullptr;
  TfrmHost* host_ = nullptr;
  const Pixmap* surface_ = nullptr;
  CursorShape windowCursor_ = CursorShape::Arrow;
  std::array<HCURSOR, 3> screenCursors_{};
  std::vector<std::string> args_;
};

}  // namespace tw::win32
