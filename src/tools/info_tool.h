// What the Screenshot, the Measurer and the Dropper share: an info window,
// Escape to end the run, and a right-click menu with "Hide info" and "Close".
#pragma once

#include <string>

#include "tools/tool.h"

namespace tw {

class TInfoTool : public TTool {
 public:
  using TTool::TTool;

  // Escape ends the run; other keys are the tool's own.
  void KeyDown(unsigned key, ShiftState shift) final;

 protected:
  virtual void OtherKeyDown(unsigned key, ShiftState shift) { (void)key, (void)shift; }

  // "Hide &info" while the info window shows, "Show &info" otherwise.
  [[nodiscard]] std::string InfoItemCaption() const;
  // The menu of the Measurer and the Dropper.
  void BuildMeasurerDropperMenu(TPopupMenu& menu);
};

}  // namespace tw
