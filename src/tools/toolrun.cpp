// The tool run: from StartTool to EndTool, and the host's show, paint and hide
// handling in between.
#include <exception>

#include "app/host.h"
#include "core/error.h"

namespace tw {

namespace {

constexpr std::array<ToolTraits, kToolCount> kTraits{{
    {0, CursorShape::None, {kBlack, PenMode::Copy, PenStyle::Solid, BrushStyle::Clear}},
    {0x71, CursorShape::Screenshot, {kSilver, PenMode::Xor, PenStyle::Dotted, BrushStyle::Clear}},
    {0x78F, CursorShape::Measurer, {kSilver, PenMode::Xor, PenStyle::Solid, BrushStyle::Clear}},
    {0x3F801, CursorShape::Dropper, {kBlack, PenMode::Copy, PenStyle::Solid, BrushStyle::Solid}},
}};

}  // namespace

const ToolTraits& TfrmHost::Traits(int tool) { return kTraits[static_cast<std::size_t>(tool)]; }

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
  SetIconState(2, kAllTools & ~(1u << tool));
  SetIconState(1, 1u << tool);

  ports_.window.BringHostToForeground();
  ports_.app.ProcessMessages();
  if (ports_.app.Terminated()) {
    SetIconState(0, kAllTools);
    return;
  }

  desktopCanvas_ = ports_.screen.AcquireDesktopCanvas();
  if (!desktopCanvas_) {
    SetIconState(0, kAllTools);
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

  runActive_ = true;
  ShowHostWindow();

  if (tool == kMagnifier) {
    idleHandler_ = [this] { MagnifierIdleDraw(); };
    const Point c = ports_.screen.CursorPos();
    LensRect = {0, 0, Settings.ZoomWidth / 2, Settings.ZoomHeight / 2};
    OffsetRect(LensRect, c.x - Settings.ZoomWidth / 4, c.y - Settings.ZoomHeight / 4);
  } else {
    infoWin_.CreateInfoWindow(Traits(tool).InfoRowMask);
    if (infoWin_.Current() != nullptr) infoWin_.PlaceInfoWindow(*Settings.ToolPosition(tool), screen);
  }
}

void TfrmHost::EndTool() {
  if (!runActive_) return;
  runActive_ = false;
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
  SetIconState(0, kAllTools);
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

void TfrmHost::FormShow() {
  SelectionRect = {};
  HitZone = 0;
  Dragging = false;
  SelectionFlag = false;

  const ToolTraits& traits = Traits(currentTool_);
  if (currentTool_ == kMagnifier) {
    switch (Settings.MagnifierCursor) {
      case 0: ports_.window.SetWindowCursor(CursorShape::None); break;
      case 1: ports_.window.SetWindowCursor(CursorShape::Arrow); break;
      case 2: ports_.window.SetWindowCursor(CursorShape::Cross); break;
      default: break;  // the cursor stays as the previous run left it
    }
  } else {
    ports_.window.SetWindowCursor(traits.Cursor);
  }
  canvas_ = traits.Canvas;
  hostPopup_ = currentTool_ == kMagnifier    ? nullptr
               : currentTool_ == kScreenshot ? &pmnScreenshot
                                             : &pmnMeasurerDropper;
}

void TfrmHost::FormPaint() {
  RestorePixels(surface_, capture_, surface_.Bounds());
  // The Screenshot frame and the Dropper marker come with their tools; the
  // Measurer line and the lens are never restored here.
}

void TfrmHost::FormHide() {
  if (currentTool_ >= kScreenshot && currentTool_ <= kDropper && infoWin_.Current() != nullptr)
    infoWin_.StoreInfoWindowPos(*Settings.ToolPosition(currentTool_));
  SaveSettingsNow();
}

void TfrmHost::Present(const Rect& area) {
  if (!IsRectEmpty(area)) ports_.window.Present(area);
}

void TfrmHost::RepaintAll() { ports_.window.RepaintHost(); }

void TfrmHost::FormMouseDown(MouseButton button, ShiftState shift, int, int) {
  if (!runActive_) return;
  if (currentTool_ == kMagnifier) MagnifierMouseDown(button, shift);
}

void TfrmHost::FormMouseMove(ShiftState, int, int) {
  if (!runActive_) return;
  if (currentTool_ == kMagnifier) DrawMagnifierAtCursor();
}

void TfrmHost::FormMouseUp(MouseButton, ShiftState, int, int) {}

void TfrmHost::FormKeyDown(unsigned key, ShiftState) {
  if (!runActive_) return;
  if (currentTool_ == kMagnifier) {
    MagnifierKeyDown(key);
    return;
  }
  if (key == kVkEscape) EndTool();
}

bool TfrmHost::FormContextPopup(Point at) {
  if (!runActive_ || hostPopup_ == nullptr) return false;
  ShowPopupMenu(ports_.menus, *hostPopup_, at);
  return true;
}

std::uint8_t TfrmHost::HitTestSelection() const {
  const Point p = ports_.screen.CursorPos();
  Rect inner = SelectionRect;
  InflateRect(inner, -5, -5);
  Rect outer = SelectionRect;
  InflateRect(outer, 5, 5);
  if (!PtInRect(outer, p)) return 0;
  if (PtInRect(inner, p)) return 1;
  if (p.y < inner.top) return p.x < inner.left ? 2 : (p.x > inner.right ? 4 : 3);
  if (p.y > inner.bottom) return p.x < inner.left ? 7 : (p.x > inner.right ? 9 : 8);
  if (p.x < inner.left) return 5;
  if (p.x > inner.right) return 6;
  return 0;
}

bool TfrmHost::OnSetCursor(bool cursorOverHost) {
  if (currentTool_ != kScreenshot || !SelectionFlag || !cursorOverHost) return false;
  static constexpr std::array<CursorShape, 10> kZoneCursors{
      CursorShape::Arrow,    CursorShape::SizeAll, CursorShape::SizeNWSE, CursorShape::SizeNS,
      CursorShape::SizeNESW, CursorShape::SizeWE,  CursorShape::SizeWE,   CursorShape::SizeNESW,
      CursorShape::SizeNS,   CursorShape::SizeNWSE};
  const std::uint8_t zone = HitTestSelection();
  if (zone == 0) return false;
  ports_.window.SetCursorNow(kZoneCursors[zone]);
  return true;
}

void TfrmHost::MagnifierIdleDraw() {
  idleHandler_ = nullptr;
  DrawMagnifierAtCursor();
}

void TfrmHost::DrawMagnifierAtCursor() {
  if (!runActive_) return;
  DrawLens(ports_.screen.CursorPos());
}

}  // namespace tw
