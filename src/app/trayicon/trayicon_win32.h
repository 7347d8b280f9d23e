// The tray port on Windows: one hidden top-level window per icon and
// Shell_NotifyIconW.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "app/trayicon/tray_port.h"
#include "platform/win32/handles.h"
#include "platform/win32/window_base.h"

namespace tw {

// `errors` shows what the icon windows' handlers throw; the icon reports
// its own handlers' errors, so very little should ever arrive there.
std::unique_ptr<ITrayPort> MakeWin32TrayPort(HINSTANCE instance, win32::ErrorDisplay errors = {});

// What the tooltip field receives: UTF-16, at most 63 units, no half of a
// surrogate pair at the end.
std::wstring TrayTipToUtf16(const std::string& tipUtf8);

// An HICON of the image in an .ico file that best fits the small-icon size
// (16 x 16 on a standard display); empty for bytes that are not an icon.
win32::UniqueIcon MakeSmallIcon(std::span<const std::uint8_t> icoFile);

class Win32TrayPort final : public ITrayPort {
 public:
  explicit Win32TrayPort(HINSTANCE instance, win32::ErrorDisplay errors = {});
  ~Win32TrayPort() override;
  Win32TrayPort(const Win32TrayPort&) = delete;
  Win32TrayPort& operator=(const Win32TrayPort&) = delete;

  TrayWindow CreateNotifyWindow(TrayWindowEvents events) override;
  void DestroyNotifyWindow(TrayWindow window) override;
  bool NotifyIcon(TrayCommand command, const TrayIconRecord& record) override;
  bool IsWindowEnabled(TrayWindow window) override;
  void SetForegroundWindow(TrayWindow window) override;
  void ReleaseCapture() override;
  Point CursorPos() override;
  ShiftState KeyboardShiftState() override;
  void PostAnimationTick(TrayWindow window) override;

  // For tests: the windows made so far, and the icon handle that the tray
  // entry of a window was last given (null when it has none).
  [[nodiscard]] std::vector<TrayWindow> Windows() const;
  [[nodiscard]] HICON IconHandle(TrayWindow window) const;
  static HWND ToHwnd(TrayWindow window) { return reinterpret_cast<HWND>(window); }

 private:
  // An icon's hidden window. Its handlers may destroy the icon, and with it
  // this window: the window base defers that until they return.
  class NotifyWindow final : public win32::WindowBase {
   public:
    NotifyWindow(HINSTANCE instance, TrayWindowEvents events, UINT taskbarCreatedMessage, win32::ErrorDisplay errors);
    ~NotifyWindow() override { Destroy(); }

    win32::UniqueIcon icon;
    std::vector<std::uint8_t> iconBytes;  // what `icon` was made from

   private:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnTrayNotify(unsigned mouseMessage);
    void OnAnimationTick();
    void OnTaskbarCreated();

    TrayWindowEvents events_;
    UINT taskbarCreatedMessage_;
  };

  HINSTANCE instance_;
  UINT taskbarCreatedMessage_ = 0;
  win32::ErrorDisplay errors_;
  std::map<TrayWindow, std::unique_ptr<NotifyWindow>> windows_;
};

}  // namespace tw
