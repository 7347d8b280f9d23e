// What a tray icon asks of the shell: its own hidden notification window,
// Shell_NotifyIcon, and the few window and input calls around the tray menu.
// The Win32 shell implements it in trayicon_win32.cpp; tests use
// tests/fakes/fake_tray.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "app/trayicon/icon.h"
#include "core/geometry.h"
#include "platform/ports.h"

namespace tw {

// The callback message the tray sends to an icon's window; its second
// parameter carries the mouse message.
constexpr unsigned kTrayCallbackMessage = 0xB054;

// NIF_MESSAGE | NIF_ICON | NIF_TIP.
constexpr unsigned kNifMessage = 0x1;
constexpr unsigned kNifIcon = 0x2;
constexpr unsigned kNifTip = 0x4;
constexpr unsigned kTrayRecordFlags = kNifMessage | kNifIcon | kNifTip;

// The old tooltip field holds 64 UTF-16 units including the terminator.
constexpr std::size_t kTrayTipMaxUnits = 63;

// The mouse messages as the callback message carries them.
constexpr unsigned kWmMouseMove = 0x0200;
constexpr unsigned kWmLButtonDown = 0x0201;
constexpr unsigned kWmLButtonUp = 0x0202;
constexpr unsigned kWmLButtonDblClk = 0x0203;
constexpr unsigned kWmRButtonDown = 0x0204;
constexpr unsigned kWmRButtonUp = 0x0205;
constexpr unsigned kWmRButtonDblClk = 0x0206;
constexpr unsigned kWmMButtonDown = 0x0207;
constexpr unsigned kWmMButtonUp = 0x0208;
constexpr unsigned kWmMButtonDblClk = 0x0209;

// NIM_ADD, NIM_MODIFY, NIM_DELETE.
enum class TrayCommand { Add = 0, Modify = 1, Delete = 2 };

// An icon's notification window; 0 is none.
using TrayWindow = std::uintptr_t;

// The record passed to Shell_NotifyIcon, in the program's terms.
struct TrayIconRecord {
  TrayWindow window = 0;
  unsigned id = 0;  // every icon has its own window, so the id is always 0
  unsigned flags = kTrayRecordFlags;
  unsigned callbackMessage = kTrayCallbackMessage;
  TIcon icon;
  std::string tip;  // UTF-8, at most kTrayTipMaxUnits UTF-16 units
};

// What an icon's window passes on, always on the user-interface thread.
struct TrayWindowEvents {
  std::function<void(unsigned mouseMessage)> OnNotify;
  // A tick that PostAnimationTick queued.
  std::function<void()> OnAnimationTick;
  // The shell announced a new task bar ("TaskbarCreated"): its tray is empty.
  std::function<void()> OnTaskbarCreated;
};

class ITrayPort {
 public:
  virtual ~ITrayPort() = default;

  // A hidden top-level window (not message-only: the "TaskbarCreated"
  // broadcast reaches top-level windows only). 0 when it cannot be made.
  virtual TrayWindow CreateNotifyWindow(TrayWindowEvents events) = 0;
  // Also frees whatever the port made for that window's tray entry.
  virtual void DestroyNotifyWindow(TrayWindow window) = 0;

  // Shell_NotifyIcon; whether the shell accepted the call.
  virtual bool NotifyIcon(TrayCommand command, const TrayIconRecord& record) = 0;

  virtual bool IsWindowEnabled(TrayWindow window) = 0;
  virtual void SetForegroundWindow(TrayWindow window) = 0;
  // Ends any mouse capture (and with it a drag) of the application.
  virtual void ReleaseCapture() = 0;
  virtual Point CursorPos() = 0;
  // kShift, kCtrl and kAlt for the keys down right now.
  virtual ShiftState KeyboardShiftState() = 0;

  // The one call that may come from another thread: queues a tick for the
  // window, delivered later as OnAnimationTick on the user-interface thread.
  virtual void PostAnimationTick(TrayWindow window) = 0;
};

// The tray tooltip of a hint: its short part (before the first "|"), cut to
// what the tooltip field holds without splitting a character.
std::string TrayTip(const std::string& hintUtf8);

}  // namespace tw
