// The program's view of Windows: small interfaces, each a group of the calls
// the program makes, in its own terms (Pixmap, Rect, UTF-8 text). The Win32
// shell implements them in platform/win32; tests use the fakes in tests/fakes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/geometry.h"
#include "core/pixmap.h"

namespace tw {

enum class MouseButton { Left, Right, Middle };

// The keyboard and mouse state that comes with an input event, as a bit set.
using ShiftState = unsigned;
constexpr ShiftState kShift = 1u << 0;
constexpr ShiftState kAlt = 1u << 1;
constexpr ShiftState kCtrl = 1u << 2;
constexpr ShiftState kLeftButton = 1u << 3;
constexpr ShiftState kRightButton = 1u << 4;
constexpr ShiftState kMiddleButton = 1u << 5;
constexpr ShiftState kDouble = 1u << 6;

// Virtual-key codes the program names.
constexpr unsigned kVkShift = 0x10;
constexpr unsigned kVkControl = 0x11;
constexpr unsigned kVkEscape = 0x1B;
constexpr unsigned kVkLeft = 0x25;
constexpr unsigned kVkUp = 0x26;
constexpr unsigned kVkRight = 0x27;
constexpr unsigned kVkDown = 0x28;
constexpr unsigned kVkInsert = 0x2D;

enum class CursorShape {
  None,        // no cursor at all (a Magnifier run with LensCursor::None)
  Arrow,
  Cross,
  Screenshot,  // the program's own screen cursors 1-3
  Measurer,
  Dropper,
  SizeAll,
  SizeNWSE,
  SizeNS,
  SizeNESW,
  SizeWE,
};

// The desktop as a run copies from it, held from the start of the run to its
// end; giving it up is the destructor's.
class IDesktopCanvas {
 public:
  virtual ~IDesktopCanvas() = default;
  // Copies `area` of the desktop to the same rectangle of `target`.
  virtual void CopyTo(const Rect& area, Pixmap& target) = 0;
};

// The primary display, the desktop canvas that a run copies from, the cursor.
class IScreenPort {
 public:
  virtual ~IScreenPort() = default;
  virtual Size ScreenSize() = 0;
  virtual Point CursorPos() = 0;
  // Logical pixels per inch of the screen (96 on a standard display).
  virtual int LogicalDpi() = 0;
  // GetDCEx(GetDesktopWindow(), no clip region, DCX_WINDOW | DCX_CACHE);
  // nullptr when Windows gives none.
  virtual std::unique_ptr<IDesktopCanvas> AcquireDesktopCanvas() = 0;
};

// The host window. Its picture is the surface that the program owns and
// passes to the shell once; Present shows a changed part of it at once.
class IHostWindowPort {
 public:
  virtual ~IHostWindowPort() = default;
  virtual void AttachSurface(const Pixmap* surface) = 0;
  // Loads the program's three screen cursors (Screenshot, Measurer, Dropper).
  virtual void RegisterScreenCursors() = 0;
  // Borderless, topmost, covering the whole primary display.
  virtual void ShowHost() = 0;
  virtual void HideHost() = 0;
  virtual bool HostVisible() = 0;
  virtual void BringHostToForeground() = 0;
  virtual void Present(const Rect& area) = 0;
  // Asks for a repaint of the whole client area now (FormPaint runs).
  virtual void RepaintHost() = 0;
  // The cursor shown over the host when nothing else decides (the window
  // cursor), and the one set right now from a WM_SETCURSOR answer.
  virtual void SetWindowCursor(CursorShape shape) = 0;
  virtual void SetCursorNow(CursorShape shape) = 0;
  // TfrmHost::ReleaseRunMemory runs once, `milliseconds` from the last call.
  virtual void StartRunMemoryTimer(unsigned milliseconds) = 0;
};

// The clipboard. Each call replaces what it held; a clipboard that another
// program holds open throws tw::Error("Cannot open clipboard").
class IClipboardPort {
 public:
  virtual ~IClipboardPort() = default;
  // Plain text, UTF-8 here.
  virtual void SetText(const std::string& text) = 0;
  // A picture, one to one, in the display's own format (the form other
  // programs read back at its real size).
  virtual void SetBitmap(const Pixmap& picture) = 0;
};

class TPopupMenu;

// Menus are shown modally; the chosen item (or -1) is returned and the
// program runs its handler.
class IMenuPort {
 public:
  virtual ~IMenuPort() = default;
  virtual int PopupMenu(const TPopupMenu& menu, Point at) = 0;
  // Closes the menu that is open now, if any: its PopupMenu returns -1.
  virtual void EndMenu() = 0;
};

// The application: its message loop and the small system services.
class IApplicationPort {
 public:
  virtual ~IApplicationPort() = default;
  // Handles every message already queued, then returns.
  virtual void ProcessMessages() = 0;
  // Ends the message loop after the current message.
  virtual void Terminate() = 0;
  virtual bool Terminated() = 0;
  // MessageBeep(0).
  virtual void Beep() = 0;
  // The application's error display: a message box with the text.
  virtual void ShowError(const std::string& message) = 0;
  // Full path of the running program file.
  virtual std::string ProgramPath() = 0;
  // The decimal separator of the user's regional settings.
  virtual std::string DecimalSeparator() = 0;
  // A named binary resource of the program (RCDATA), empty if missing.
  virtual std::vector<std::uint8_t> LoadResourceData(const std::string& name) = 0;
};

}  // namespace tw
