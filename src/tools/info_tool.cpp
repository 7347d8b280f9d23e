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

std::string TInfoTool::InfoItemCaption() const {
  const IInfoWindow* info = run_.InfoWindow();
  return info != nullptr && info->Visible() ? "Hide &info" : "Show &info";
}

void TInfoTool::BuildMeasurerDropperMenu(TPopupMenu& menu) {
  menu.Name = "pmnMeasurerDropper";
  menu.Add({.Name = "mniMeasurerInfo", .Caption = "Hide &info"});
  menu.Add({.Name = "mniMeasurerClose",
            .Caption = "&Close",
            .ShortCutText = "Esc",
            .OnClick = [this](TMenuItem&) { run_.EndRun(); }});
  menu.OnPopup = [this, &menu] { menu.Find("mniMeasurerInfo")->Caption = InfoItemCaption(); };
}

}  // namespace tw
