// The tool run: from StartTool to EndTool, and the host's show, paint and hide
// handling in between.
#include <exception>

#include "app/host.h"
#include "core/error.h"
#include "app/run_context.h"
#include "tools/tool.h"

namespace tw {

void TfrmHost::StartTool(int tool) {
  if (tool < 0 || tool >= kToolCount || starting_ || runActive_) return;
  // From here until the run is active (or abandoned) the start is in
  // progress: messages handled at the pending-message step below may call
  // StartTool again and must find it refused.
  starting_ = true;
  struct StartingGuard {
    bool& flag;
    ~StartingGuard() { flag = false; }
  } guard{starting_};

  currentTool_ = tool;
  SetIconState(IconState::Disabled, kAllTools & ~(1u << tool));
  SetIconState(IconState::Running, 1u << tool);

  ports_.window.BringHostToForeground();
  ports_.app.ProcessMessages();
  if (ports_.app.Terminated()) {
    SetIconState(IconState::Normal, kAllTools);
    return;
  }

  desktopCanvas_ = ports_.screen.AcquireDesktopCanvas();
  if (!desktopCanvas_) {
    SetIconState(IconState::Normal, kAllTools);
    throw Error("Cannot capture the screen");
  }
  const Size screen = ports_.screen.ScreenSize();
  // The margin right of and below the screen lets the lens read past the
  // screen edge; it holds no screen content, so it is plain white.
  capture_.Resize(screen.width + Settings.ZoomWidth / 2, screen.height + Settings.ZoomHeight / 2, 0xFFFFFF);
  ports_.screen.CopyFromDesktop({0, 0, screen.width, screen.height}, capture_);
  if (surface_.Width() != screen.width || surface_.Height() != screen.height) {
    surface_.Resize(screen.width, screen.height);
    ports_.window.AttachSurface(&surface_);
  }

  ++runCount_;
  runActive_ = true;
  ShowHostWindow();

  TTool& running = Tool(tool);
  running.Started();
  if (const unsigned rows = running.InfoRowMask(); rows != 0) {
    infoWin_.CreateInfoWindow(rows);
    CheckInfoScaleItem();
    if (Point* remembered = Settings.ToolPosition(tool); remembered != nullptr && infoWin_.Current() != nullptr)
      infoWin_.PlaceInfoWindow(*remembered, screen);
    if (TInfoWin* info = infoWin_.Current()) info->SetVisible(true);
  }
}

void TfrmHost::EndTool() {
  if (!runActive_) return;
  runActive_ = false;
  // A menu of the run left open when another program took over stays on
  // the screen otherwise.
  ports_.menus.EndMenu();
  if (desktopCanvas_) {
    ports_.screen.ReleaseDesktopCanvas();
    desktopCanvas_ = false;
  }
  capture_.Clear();
  idleHandler_ = nullptr;
  // Saving the settings at the hide may fail (the registry is refused); the
  // run still ends completely and the message is shown afterwards, so the
  // tray icons never stay in their running state.
  std::exception_ptr saveError;
  try {
    HideHostWindow();
  } catch (...) {
    saveError = std::current_exception();
  }
  infoWin_.FreeInfoWindow();
  // A run a hot key started under the About box ends with the box still
  // open, and the tools still disabled: the icons say so.
  SetIconState(toolsEnabled_ ? IconState::Normal : IconState::Disabled, kAllTools);
  if (saveError) std::rethrow_exception(saveError);
}

void TfrmHost::ShowHostWindow() {
  FormShow();
  ports_.window.ShowHost();
}

void TfrmHost::HideHostWindow() {
  if (!ports_.window.HostVisible()) return;
  ports_.window.HideHost();
  FormHide();
}

TTool* TfrmHost::RunningTool() { return runActive_ ? &Tool(currentTool_) : nullptr; }

void TfrmHost::FormShow() {
  TTool& tool = Tool(currentTool_);
  tool.Show();
  if (const auto cursor = tool.WindowCursor()) ports_.window.SetWindowCursor(*cursor);
}

void TfrmHost::FormPaint(const Rect& area) {
  Rect restored;
  if (!IntersectRect(restored, area, surface_.Bounds())) return;
  RestorePixels(surface_, capture_, restored);
  if (TTool* tool = RunningTool()) tool->Paint(restored);
}

void TfrmHost::FormHide() {
  if (Point* remembered = Settings.ToolPosition(currentTool_); remembered != nullptr && infoWin_.Current() != nullptr)
    infoWin_.StoreInfoWindowPos(*remembered);
  SaveSettingsNow();
}

void TfrmHost::FormMouseDown(MouseButton button, ShiftState shift, int x, int y) {
  if (TTool* tool = RunningTool()) tool->MouseDown(button, shift, {x, y});
}

void TfrmHost::FormMouseMove(ShiftState shift, int x, int y) {
  if (TTool* tool = RunningTool()) tool->MouseMove(shift, {x, y});
}

void TfrmHost::FormMouseUp(MouseButton button, ShiftState shift, int x, int y) {
  if (TTool* tool = RunningTool()) tool->MouseUp(button, shift, {x, y});
}

void TfrmHost::FormKeyDown(unsigned key, ShiftState shift) {
  if (TTool* tool = RunningTool()) tool->KeyDown(key, shift);
}

bool TfrmHost::FormContextPopup(Point at) {
  TTool* tool = RunningTool();
  TPopupMenu* menu = tool != nullptr ? tool->PopupMenu() : nullptr;
  if (menu == nullptr) return false;
  const RunId run = runCount_;
  TMenuItem* chosen = ChoosePopupMenuItem(ports_.menus, *menu, at);
  // The menu is a modal wait: switching to another program while it is open
  // ends the run, and a hot key may even start the next one. A command
  // chosen for a run that is over does nothing.
  if (chosen != nullptr && runActive_ && runCount_ == run) chosen->Click();
  return true;
}

bool TfrmHost::OnSetCursor(bool cursorOverHost) {
  TTool* tool = RunningTool();
  return tool != nullptr && tool->SetCursor(cursorOverHost);
}

}  // namespace tw
