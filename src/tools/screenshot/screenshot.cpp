#include "tools/screenshot/screenshot.h"

#include <algorithm>
#include <array>

#include "infowin/infowin.h"
#include "tools/screenshot/selection_frame.h"

namespace tw {

namespace {

// How far inside and outside the selection's border a press still takes hold
// of an edge or a corner.
constexpr int kGrabMargin = 5;

}  // namespace

TScreenshot::TScreenshot(IToolRun& run, const ToolPorts& ports) : TInfoTool(run), ports_(ports) {
  pmnScreenshot.Name = "pmnScreenshot";
  pmnScreenshot.Add({.Name = "mniCopy",
                     .Caption = "C&opy",
                     .ShortCutText = "Ctrl+C",
                     .OnClick = [this](TMenuItem&) { mniCopyClick(); }});
  pmnScreenshot.Add({.Name = "mniSave",
                     .Caption = "&Save...",
                     .ShortCutText = "Ctrl+S",
                     .OnClick = [this](TMenuItem&) { mniSaveClick(); }});
  pmnScreenshot.Add({.Name = "mniCopySelect",
                     .Caption = "Co&py selection",
                     .ShortCutText = "Alt+C",
                     .OnClick = [this](TMenuItem&) { mniCopySelectClick(); }});
  pmnScreenshot.Add({.Name = "mniSaveSelect",
                     .Caption = "Sa&ve selection...",
                     .ShortCutText = "Alt+S",
                     .OnClick = [this](TMenuItem&) { mniSaveSelectClick(); }});
  pmnScreenshot.Add({.Name = "mniScreenshotSep2", .Caption = "-"});
  pmnScreenshot.Add({.Name = "mniScreenshotInfo",
                     .Caption = "Hide &info",
                     .OnClick = [this](TMenuItem&) { mniShoHideInfoClick(); }});
  pmnScreenshot.Add({.Name = "mniScreenshotSep1", .Caption = "-"});
  pmnScreenshot.Add(
      {.Name = "mniClose", .Caption = "&Close", .ShortCutText = "Esc", .OnClick = [this](TMenuItem&) { run_.EndRun(); }});
  pmnScreenshot.OnPopup = [this] {
    pmnScreenshot.Find("mniCopySelect")->Enabled = SelectionFlag;
    pmnScreenshot.Find("mniSaveSelect")->Enabled = SelectionFlag;
    pmnScreenshot.Find("mniScreenshotInfo")->Caption = InfoItemCaption();
  };
}

void TScreenshot::Show() {
  SelectionRect = {};
  SelectionStartRect = {};
  DragStart = {};
  SelectionFlag = false;
  Dragging = false;
  Zone = HitZone::Outside;
}

HitZone TScreenshot::HitTestSelection() const {
  const Point p = run_.CursorPos();
  Rect inner = SelectionRect;
  InflateRect(inner, -kGrabMargin, -kGrabMargin);
  Rect outer = SelectionRect;
  InflateRect(outer, kGrabMargin, kGrabMargin);
  if (!PtInRect(outer, p)) return HitZone::Outside;
  if (PtInRect(inner, p)) return HitZone::Inside;
  if (p.y < inner.top)
    return p.x < inner.left ? HitZone::TopLeft : (p.x > inner.right ? HitZone::TopRight : HitZone::Top);
  if (p.y > inner.bottom)
    return p.x < inner.left ? HitZone::BottomLeft : (p.x > inner.right ? HitZone::BottomRight : HitZone::Bottom);
  if (p.x < inner.left) return HitZone::Left;
  if (p.x > inner.right) return HitZone::Right;
  return HitZone::Outside;
}

bool TScreenshot::SetCursor(bool cursorOverHost) {
  if (!SelectionFlag || !cursorOverHost) return false;
  static constexpr std::array<CursorShape, 10> kZoneCursors{
      CursorShape::Arrow,    CursorShape::SizeAll, CursorShape::SizeNWSE, CursorShape::SizeNS,
      CursorShape::SizeNESW, CursorShape::SizeWE,  CursorShape::SizeWE,   CursorShape::SizeNESW,
      CursorShape::SizeNS,   CursorShape::SizeNWSE};
  const HitZone zone = HitTestSelection();
  if (zone == HitZone::Outside) return false;
  run_.SetCursorNow(kZoneCursors[static_cast<std::size_t>(zone)]);
  return true;
}

void TScreenshot::Paint(const Rect&) {
  // The restored area lost the frame; the shell shows the area afterwards.
  if (SelectionFlag || Dragging) DrawSelectionFrame(run_.Surface(), SelectionRect);
}

Rect TScreenshot::WholeScreen() {
  // The surface is the screen's size.
  const Pixmap& surface = run_.Surface();
  return {0, 0, surface.Width() - 1, surface.Height() - 1};
}

void TScreenshot::DrawFrame(const Rect& r) {
  Pixmap& surface = run_.Surface();
  DrawSelectionFrame(surface, r);
  for (const Rect& s : FrameStrips(r, surface.Bounds())) run_.Present(s);
}

void TScreenshot::RemoveFrame(const Rect& r) {
  Pixmap& surface = run_.Surface();
  RemoveSelectionFrame(surface, run_.Capture(), r);
  for (const Rect& s : FrameStrips(r, surface.Bounds())) run_.Present(s);
}

void TScreenshot::MouseDown(MouseButton button, ShiftState, Point at) {
  if (button != MouseButton::Left) {
    Zone = HitZone::Outside;
    SelectionStartRect = SelectionRect;
    return;
  }
  // Also without a selection: a press near the last point takes it as a
  // corner.
  Zone = HitTestSelection();
  if (Zone == HitZone::Outside) {
    if (SelectionFlag) RemoveFrame(SelectionRect);
    SelectionRect = {at.x, at.y, at.x, at.y};
  }
  DragStart = at;
  Dragging = true;
  SelectionStartRect = SelectionRect;
}

Rect TScreenshot::DraggedRect(int dx, int dy) {
  const Rect screen = WholeScreen();
  const auto clampX = [&](int x) { return std::clamp(x, 0, screen.right); };
  const auto clampY = [&](int y) { return std::clamp(y, 0, screen.bottom); };
  Rect r = SelectionStartRect;
  // Every coordinate a drag changes stays on the screen, on both sides: a
  // press just outside an edge must not carry the edge off the screen.
  switch (Zone) {
    case HitZone::Outside:
      r.right = clampX(DragStart.x + dx);
      r.bottom = clampY(DragStart.y + dy);
      break;
    case HitZone::Inside:
      OffsetRect(r, dx, dy);
      if (r.left < 0) r.right -= r.left, r.left = 0;
      if (r.top < 0) r.bottom -= r.top, r.top = 0;
      if (r.right > screen.right) OffsetRect(r, screen.right - r.right, 0);
      if (r.bottom > screen.bottom) OffsetRect(r, 0, screen.bottom - r.bottom);
      break;
    default: {
      const HitZone z = Zone;
      const bool left = z == HitZone::TopLeft || z == HitZone::Left || z == HitZone::BottomLeft;
      const bool right = z == HitZone::TopRight || z == HitZone::Right || z == HitZone::BottomRight;
      const bool top = z == HitZone::TopLeft || z == HitZone::Top || z == HitZone::TopRight;
      const bool bottom = z == HitZone::BottomLeft || z == HitZone::Bottom || z == HitZone::BottomRight;
      if (left) r.left = clampX(r.left + dx);
      if (right) r.right = clampX(r.right + dx);
      if (top) r.top = clampY(r.top + dy);
      if (bottom) r.bottom = clampY(r.bottom + dy);
      break;
    }
  }
  return r;
}

void TScreenshot::MouseMove(ShiftState, Point) {
  // The event's point is not used: a move over the info window comes in
  // the window's coordinates.
  const Point c = run_.CursorPos();
  ShowCursorRow(c);
  if (Dragging) {
    RemoveFrame(SelectionRect);
    SelectionRect = DraggedRect(c.x - DragStart.x, c.y - DragStart.y);
    DrawFrame(SelectionRect);
  }
  ShowSelectionRows();
  UpdateZoomAt(c);
}

void TScreenshot::MouseUp(MouseButton button, ShiftState, Point) {
  if (button != MouseButton::Left) return;
  SelectionRect = OrderedRect(SelectionRect);
  SelectionFlag = Dragging && SelectionRect.right > SelectionRect.left && SelectionRect.bottom > SelectionRect.top;
  if (!SelectionFlag) ClearSelectionRows();
  Dragging = false;
  SelectionStartRect = SelectionRect;
}

void TScreenshot::ShowSelectionRows() {
  TInfoWin* info = run_.InfoWindow();
  if (info == nullptr) return;
  const Rect& r = SelectionRect;
  info->SetInfoRow(InfoRow::SelectionStart, PointText({r.left, r.top}));
  info->SetInfoRow(InfoRow::SelectionEnd, PointText({r.right, r.bottom}));
  // 64-bit: the difference of two ints can leave the int range.
  const auto dx = static_cast<long long>(r.right) - r.left;
  const auto dy = static_cast<long long>(r.bottom) - r.top;
  ShortText size;
  size << "x: " << static_cast<std::int64_t>(dx < 0 ? -dx : dx) << "\t y: " << static_cast<std::int64_t>(dy < 0 ? -dy : dy);
  info->SetInfoRow(InfoRow::SelectionSize, size);
}

void TScreenshot::ClearSelectionRows() {
  TInfoWin* info = run_.InfoWindow();
  if (info == nullptr) return;
  for (InfoRow row : {InfoRow::SelectionStart, InfoRow::SelectionEnd, InfoRow::SelectionSize})
    info->SetInfoRow(row, "");
}

void TScreenshot::OtherKeyDown(unsigned key, ShiftState shift) {
  const ShiftState modifiers = shift & (kShift | kAlt | kCtrl);
  switch (key) {
    case kVkLeft:
    case kVkUp:
    case kVkRight:
    case kVkDown: ArrowStep(key, modifiers); return;
    case kVkInsert:
    case 'C':
      if (modifiers == kAlt) mniCopySelectClick();
      else if (modifiers == kCtrl) mniCopyClick();
      return;
    case 'S':
      if (modifiers == kAlt) mniSaveSelectClick();
      else if (modifiers == kCtrl) mniSaveClick();
      return;
    default: return;
  }
}

void TScreenshot::ArrowStep(unsigned key, ShiftState modifiers) {
  if (!SelectionFlag) return;
  const Rect screen = WholeScreen();
  RemoveFrame(SelectionRect);
  Rect& r = SelectionRect;
  if (modifiers == 0) {
    if (key == kVkLeft && r.left > 0) OffsetRect(r, -1, 0);
    if (key == kVkUp && r.top > 0) OffsetRect(r, 0, -1);
    if (key == kVkRight && r.right < screen.right) OffsetRect(r, 1, 0);
    if (key == kVkDown && r.bottom < screen.bottom) OffsetRect(r, 0, 1);
  } else if (modifiers == kShift) {
    // Shrinking stops at three pixels.
    if (key == kVkLeft && r.right - r.left > 2) --r.right;
    if (key == kVkUp && r.bottom - r.top > 2) --r.bottom;
    if (key == kVkRight && r.right < screen.right) ++r.right;
    if (key == kVkDown && r.bottom < screen.bottom) ++r.bottom;
  }
  DrawFrame(SelectionRect);
  ShowSelectionRows();
  // The keyboard never moves the pointer: the zoom view stays at it.
  UpdateZoomAt(run_.CursorPos());
}

Pixmap TScreenshot::Region(const Rect& rect) {
  // A rectangle being dragged may be inverted or a point: the ordered form
  // is never smaller than one pixel.
  const Rect screen = WholeScreen();
  Rect r = OrderedRect(rect);
  r.left = std::clamp(r.left, 0, screen.right);
  r.right = std::clamp(r.right, 0, screen.right);
  r.top = std::clamp(r.top, 0, screen.bottom);
  r.bottom = std::clamp(r.bottom, 0, screen.bottom);
  Pixmap region(r.right - r.left + 1, r.bottom - r.top + 1);
  CopyPixels(region, {0, 0}, run_.Capture(), {r.left, r.top, r.right + 1, r.bottom + 1});
  return region;
}

void TScreenshot::CopyRegionToClipboard(const Rect& rect) { ports_.clipboard.SetBitmap(Region(rect)); }

void TScreenshot::SaveRegionToFile(const Rect& rect) {
  // Taken before the dialog: switching to another program while it is open
  // ends the run and frees the capture, and the user still expects the
  // picture they chose to be saved.
  const Pixmap region = Region(rect);
  const int quality = run_.Settings().JPEGQuality;
  // The dialog is modal: the run may be over when it returns.
  const std::optional<SaveDialogResult> chosen = svdScreenshot.Execute(ports_.saveDialog);
  if (!chosen) return;
  ports_.images.SaveBitmapToFile(region, chosen->fileName, chosen->fileTypeIndex - 1, quality);
}

void TScreenshot::mniCopyClick() { CopyRegionToClipboard(WholeScreen()); }
void TScreenshot::mniSaveClick() { SaveRegionToFile(WholeScreen()); }

void TScreenshot::mniCopySelectClick() {
  if (!SelectionFlag) {
    run_.Beep();
    return;
  }
  CopyRegionToClipboard(SelectionRect);
}

void TScreenshot::mniSaveSelectClick() {
  if (!SelectionFlag) {
    run_.Beep();
    return;
  }
  SaveRegionToFile(SelectionRect);
}

}  // namespace tw
