#include "tools/screenshot/screenshot.h"

#include <array>

namespace tw {

TScreenshot::TScreenshot(IToolRun& run) : TInfoTool(run) {
  pmnScreenshot.Name = "pmnScreenshot";
  pmnScreenshot.Add({.Name = "mniCopy", .Caption = "C&opy", .ShortCutText = "Ctrl+C"});
  pmnScreenshot.Add({.Name = "mniSave", .Caption = "&Save...", .ShortCutText = "Ctrl+S"});
  pmnScreenshot.Add({.Name = "mniCopySelect", .Caption = "Co&py selection", .ShortCutText = "Alt+C"});
  pmnScreenshot.Add({.Name = "mniSaveSelect", .Caption = "Sa&ve selection...", .ShortCutText = "Alt+S"});
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
  SelectionFlag = false;
  Dragging = false;
  Zone = HitZone::Outside;
}

HitZone TScreenshot::HitTestSelection() const {
  const Point p = run_.CursorPos();
  Rect inner = SelectionRect;
  InflateRect(inner, -5, -5);
  Rect outer = SelectionRect;
  InflateRect(outer, 5, 5);
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

}  // namespace tw
