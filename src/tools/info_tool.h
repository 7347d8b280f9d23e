// What the Screenshot, the Measurer and the Dropper share: an info window,
// Escape to end the run, and a right-click menu with "Hide info" and "Close".
#pragma once

#include <string>

#include "core/short_text.h"
#include "tools/tool.h"

namespace tw {

class TInfoTool : public TTool {
 public:
  using TTool::TTool;

  // Escape ends the run; other keys are the tool's own.
  void KeyDown(unsigned key, ShiftState shift) final;
  // The cursor row and the zoom view follow the mouse.
  void MouseMove(ShiftState shift, Point at) override;
  // A run started under a still mouse gets no move until the user moves it,
  // and the zoom view would stay blank until then.
  void InfoWindowShown() override;

 protected:
  virtual void OtherKeyDown(unsigned key, ShiftState shift) { (void)key, (void)shift; }

  // Row "Cursor position" and the zoom view, at the cursor.
  void FollowCursor();
  void ShowCursorRow(Point cursor);
  void UpdateZoomAt(Point cursor);
  // "Hide &info" and "Show &info": toggles the window, if there is one.
  void mniShoHideInfoClick();
  // "Hide &info" while the info window shows, "Show &info" otherwise.
  [[nodiscard]] std::string InfoItemCaption() const;
  // The menu of the Measurer and the Dropper.
  void BuildMeasurerDropperMenu(TPopupMenu& menu);
};

// "x: %d\t y: %d", the two-number rows.
ShortText PointText(Point p);

}  // namespace tw
