// A screen tool: one object per tool, driven by the host's run events. A tool
// reaches the run only through IToolRun, which the host hands it; it keeps
// its own state, its own popup menu and its own drawing set-up.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "platform/menu.h"
#include "model/settings.h"
#include "core/color.h"
#include "core/geometry.h"
#include "core/pixmap.h"
#include "platform/ports.h"

namespace tw {

class TInfoWin;

// The drawing set-up of the host's canvas while a tool runs.
struct HostCanvas {
  ColorRef PenColor = kBlack;
};

// Tells one run from the next, so that code that waited modally (a popup
// menu, a dialog, a message box) can see whether its run is still the one
// going on: switching to another program ends a run at any such wait.
using RunId = std::uint64_t;

// What the host offers the running tool.
class IToolRun {
 public:
  virtual ~IToolRun() = default;
  // The run in progress, or none (0). Ids are never reused.
  [[nodiscard]] virtual RunId CurrentRun() const = 0;
  [[nodiscard]] bool Active() const { return CurrentRun() != 0; }
  // The host's picture; a tool draws on it and presents what it changed.
  virtual Pixmap& Surface() = 0;
  // The frozen screen of the run, with its white margin.
  [[nodiscard]] virtual const Pixmap& Capture() const = 0;
  virtual void Present(const Rect& area) = 0;
  // Repaints the whole host now: restored from the capture, then the tool's
  // overlay.
  virtual void RepaintAll() = 0;
  virtual TSettings& Settings() = 0;
  // The run's info window, or nullptr.
  virtual TInfoWin* InfoWindow() = 0;
  virtual void EndRun() = 0;
  virtual Point CursorPos() = 0;
  virtual void Beep() = 0;
  // Runs `handler` once, the next time the message queue is empty.
  virtual void SetIdleHandler(std::function<void()> handler) = 0;
  // The cursor shown from a WM_SETCURSOR answer.
  virtual void SetCursorNow(CursorShape shape) = 0;
  // The decimal separator of the user's regional settings.
  virtual std::string DecimalSeparator() = 0;
};

class TTool {
 public:
  explicit TTool(IToolRun& run) : run_(run) {}
  virtual ~TTool() = default;
  TTool(const TTool&) = delete;
  TTool& operator=(const TTool&) = delete;

  // The tool number: the tag of its tray icon and menu item, its hot key id.
  [[nodiscard]] virtual int Id() const = 0;
  // The rows of its info window; 0: the run has no info window.
  [[nodiscard]] virtual unsigned InfoRowMask() const { return 0; }
  [[nodiscard]] virtual HostCanvas Canvas() const = 0;
  // The window cursor over the host; nullopt leaves it as the last run set it.
  [[nodiscard]] virtual std::optional<CursorShape> WindowCursor() const = 0;
  // The selection flag of the run: the Screenshot has a selection, the
  // Dropper holds a colour. It enables the info window's "Copy".
  [[nodiscard]] virtual bool SelectionFlagSet() const { return false; }
  // The host's right-click menu during the run; nullptr: none.
  virtual TPopupMenu* PopupMenu() { return nullptr; }

  // The host is being shown for a new run: per-run state starts afresh.
  virtual void Show() {}
  // The host is shown and the run active; the info window is not made yet.
  virtual void Started() {}
  // The run's info window has just appeared; nothing has moved the mouse yet.
  virtual void InfoWindowShown() {}
  // `area` (within the surface) was just restored from the capture; the
  // tool puts back whatever of its own overlay lies there.
  virtual void Paint(const Rect& area) { (void)area; }
  virtual void MouseDown(MouseButton button, ShiftState shift, Point at) { (void)button, (void)shift, (void)at; }
  virtual void MouseMove(ShiftState shift, Point at) { (void)shift, (void)at; }
  virtual void MouseUp(MouseButton button, ShiftState shift, Point at) { (void)button, (void)shift, (void)at; }
  virtual void KeyDown(unsigned key, ShiftState shift) { (void)key, (void)shift; }
  // WM_SETCURSOR over the host: true when the tool set a cursor itself.
  virtual bool SetCursor(bool cursorOverHost) {
    (void)cursorOverHost;
    return false;
  }

 protected:
  IToolRun& run_;
};

}  // namespace tw
