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
  capture_.Resize(screen.width + Settings.ZoomWidth / 2, screen.height + Settings.ZoomHeight / 2, kWhitePixel);
  desktopCanvas_->CopyTo({0, 0, screen.width, screen.height}, capture_);
  if (surface_.Width() != screen.width || surface_.Height() != screen.height) {
    surface_.Resize(screen.width, screen.height);
    ports_.window.AttachSurface(&surface_);
  }
  // The surface is the frozen screen from the first moment, whatever part
  // of the window the system paints first: the info window's first zoom
  // view reads it before any paint may have come.
  RestorePixels(surface_, capture_, surface_.Bounds());

  ++runCount_;
  runActive_ = true;
  ShowHostWindow();

  TTool& running = Tool(tool);
  running.Started();
  OpenInfoWindow(running, screen);
}

void TfrmHost::OpenInfoWindow(TTool& running, Size screen) {
  const unsigned rows = running.InfoRowMask();
  if (rows == 0) return;
  infoWin_.CreateInfoWindow(rows);
  CheckInfoScaleItem();
  TInfoWin* info = infoWin_.Current();
  if (info == nullptr) return;
  if (Point* remembered = Settings.ToolPosition(running.Id()); remembered != nullptr)
    infoWin_.PlaceInfoWindow(*remembered, screen);
  info->SetVisible(true);
  running.InfoWindowShown();
}

void TfrmHost::EndTool() {
  if (!runActive_) return;
  runActive_ = false;
  // A menu of the run left open when another program took over stays on
  // the screen otherwise.
  ports_.menus.EndMenu();
  desktopCanvas_.reset();
  // A second run soon after is common: the memory stays for it a while,
  // but no picture of the screen stays with it.
  capture_.ClearKeepingMemory();
  ports_.window.StartRunMemoryTimer(kRunMemoryKeptMs);
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
  surface_.Fill(0);
  infoWin_.FreeInfoWindow();
  // A run a hot key started under the About box ends with the box still
  // open, and the tools still disabled: the icons say so.
  SetIconState(toolsEnabled_ ? IconState::Normal : IconState::Disabled, kAllTools);
  if (saveError) std::rethrow_exception(saveError);
}

void TfrmHost::ReleaseRunMemory() {
  if (!runActive_) capture_.Clear();
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
  PopupInRun(*menu, at);
  return true;
}

void TfrmHost::PopupInRun(TPopupMenu& menu, Point at) {
  const RunId run = runCount_;
  TMenuItem* chosen = ChoosePopupMenuItem(ports_.menus, menu, at);
  // The menu is a modal wait: switching to another program while it is open
  // ends the run (and frees its info window), and a hot key may even start
  // the next one. A command chosen for a run that is over does nothing.
  if (chosen != nullptr && runActive_ && runCount_ == run) chosen->Click();
}

bool TfrmHost::OnSetCursor(bool cursorOverHost) {
  TTool* tool = RunningTool();
  return tool != nullptr && tool->SetCursor(cursorOverHost);
}

}  // namespace tw
