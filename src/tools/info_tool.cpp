#include "tools/info_tool.h"

#include "infowin/infowin.h"

namespace tw {

void TInfoTool::KeyDown(unsigned key, ShiftState shift) {
  if (key == kVkEscape) {
    run_.EndRun();
    return;
  }
  OtherKeyDown(key, shift);
}

ShortText PointText(Point p) {
  ShortText t;
  t << "x: " << p.x << "\t y: " << p.y;
  return t;
}

void TInfoTool::MouseMove(ShiftState, Point) { FollowCursor(); }

void TInfoTool::InfoWindowShown() { FollowCursor(); }

void TInfoTool::FollowCursor() {
  if (run_.InfoWindow() == nullptr) return;
  // The event's own coordinates are not used: a move over the info window
  // comes in the window's, and the cursor is where the figures are.
  const Point c = run_.CursorPos();
  ShowCursorRow(c);
  UpdateZoomAt(c);
}

void TInfoTool::ShowCursorRow(Point cursor) {
  if (TInfoWin* info = run_.InfoWindow()) info->SetInfoRow(InfoRow::CursorPosition, PointText(cursor));
}

void TInfoTool::UpdateZoomAt(Point cursor) {
  if (TInfoWin* info = run_.InfoWindow())
    info->UpdateZoomView(cursor.x, cursor.y, run_.Surface(), run_.Settings().InfoScale);
}

void TInfoTool::mniShoHideInfoClick() {
  if (TInfoWin* info = run_.InfoWindow()) info->SetVisible(!info->Visible());
}

std::string TInfoTool::InfoItemCaption() const {
  const TInfoWin* info = run_.InfoWindow();
  return info != nullptr && info->Visible() ? "Hide &info" : "Show &info";
}

void TInfoTool::BuildMeasurerDropperMenu(TPopupMenu& menu) {
  menu.Name = "pmnMeasurerDropper";
  menu.Add({.Name = "mniMeasurerInfo",
            .Caption = "Hide &info",
            .OnClick = [this](TMenuItem&) { mniShoHideInfoClick(); }});
  menu.Add({.Name = "mniMeasurerClose",
            .Caption = "&Close",
            .ShortCutText = "Esc",
            .OnClick = [this](TMenuItem&) { run_.EndRun(); }});
  menu.OnPopup = [this, &menu] { menu.Find("mniMeasurerInfo")->Caption = InfoItemCaption(); };
}

}  // namespace tw
