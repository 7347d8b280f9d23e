// The host's side of the info window: its popup menu pmnInfoWin and what the
// window reports (mouse moves, the context menu, a value to copy).
#include <array>

#include "app/host.h"
#include "tools/tool.h"

namespace tw {

namespace {

struct ZoomItem {
  const char* name;
  const char* caption;
  int factor;
};
constexpr std::array<ZoomItem, 4> kZoomItems{{
    {"mniZoom2", "x2", 2},
    {"mniZoom3", "x3", 3},
    {"mniZoom5", "x5", 5},
    {"mniZoom10", "x10", 10},
}};

}  // namespace

void TfrmHost::BuildInfoMenu() {
  pmnInfoWin.Name = "pmnInfoWin";
  pmnInfoWin.Add({.Name = "mniHideInfo", .Caption = "Hide &info", .OnClick = [this](TMenuItem&) { mniHideInfoClick(); }});
  pmnInfoWin.Add({.Name = "mniInfoSep", .Caption = "-"});
  pmnInfoWin.Add({.Name = "mniCopyInfo", .Caption = "&Copy", .OnClick = [this](TMenuItem&) { mniCopyInfoClick(); }});
  for (const ZoomItem& z : kZoomItems)
    pmnInfoWin.Add({.Name = z.name,
                    .Caption = z.caption,
                    .Tag = z.factor,
                    .RadioItem = true,
                    .OnClick = [this](TMenuItem& item) { mniInfoZoomClick(item); }});
  pmnInfoWin.Find("mniZoom2")->Checked = true;
  pmnInfoWin.OnPopup = [this] { pmnInfoWinPopup(); };
}

void TfrmHost::CheckInfoScaleItem() {
  const TMenuItem* match = nullptr;
  for (const TMenuItem& item : pmnInfoWin.Items)
    if (item.RadioItem && item.Tag == Settings.InfoScale) match = &item;
  pmnInfoWin.CheckRadioItem(match);
}

void TfrmHost::pmnInfoWinPopup() {
  const bool onZoom = infoPopupControl_.part == InfoPart::ZoomView;
  const bool onValue = infoPopupControl_.part == InfoPart::ValueLabel && IsCopyableRow(infoPopupControl_.row);
  for (TMenuItem& item : pmnInfoWin.Items)
    if (item.RadioItem) item.Visible = onZoom;
  TMenuItem& copy = *pmnInfoWin.Find("mniCopyInfo");
  copy.Visible = onValue;
  const TTool* tool = RunningTool();
  copy.Enabled = tool != nullptr && tool->SelectionFlagSet();
  pmnInfoWin.Find("mniInfoSep")->Visible = onZoom || onValue;
}

void TfrmHost::mniHideInfoClick() {
  if (TInfoWin* info = infoWin_.Current()) info->Hide();
}

void TfrmHost::mniCopyInfoClick() {
  const TInfoWin* info = infoWin_.Current();
  if (info == nullptr || infoPopupControl_.part != InfoPart::ValueLabel) return;
  ports_.clipboard.SetText(info->RowText(infoPopupControl_.row));
}

void TfrmHost::mniInfoZoomClick(TMenuItem& sender) {
  Settings.InfoScale = sender.Tag;
  pmnInfoWin.CheckRadioItem(&sender);
}

void TfrmHost::InfoMouseMove(ShiftState shift) {
  // Reported as a move over the host, at the cursor.
  const Point p = ports_.screen.CursorPos();
  FormMouseMove(shift, p.x, p.y);
}

void TfrmHost::InfoContextPopup(const InfoControl& control, Point at) {
  if (!runActive_ || infoWin_.Current() == nullptr) return;
  infoPopupControl_ = control;
  PopupInRun(pmnInfoWin, at);
}

void TfrmHost::InfoCopyText(const std::string& text) { ports_.clipboard.SetText(text); }

}  // namespace tw
