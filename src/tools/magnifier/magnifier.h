// The Magnifier: a lens that follows the cursor over the frozen capture.
#pragma once

#include <cstdint>

#include "core/pixmap.h"
#include "tools/tool.h"

namespace tw {

// Raises the contrast of every pixel in place around the pivot 128: Medium
// by 1.5, High by 2; any other level changes nothing.
void ApplyHighContrast(Pixmap& bitmap, ContrastLevel level);

// One channel value through the contrast filter.
std::uint8_t HighContrastChannel(std::uint8_t c, ContrastLevel level);

class TMagnifier final : public TTool {
 public:
  explicit TMagnifier(IToolRun& run) : TTool(run) {}

  [[nodiscard]] int Id() const override { return kMagnifier; }
  [[nodiscard]] HostCanvas Canvas() const override { return {kBlack}; }
  [[nodiscard]] std::optional<CursorShape> WindowCursor() const override;

  void Show() override;
  void Started() override;
  void Paint(const Rect& area) override;
  void MouseDown(MouseButton button, ShiftState shift, Point at) override;
  void MouseMove(ShiftState shift, Point at) override;
  void KeyDown(unsigned key, ShiftState shift) override;

  // The one-shot idle handler that draws the first lens of a run.
  void MagnifierIdleDraw();
  void DrawMagnifierAtCursor();
  // Draws the lens centred on p and restores what the previous one left.
  void DrawLens(Point p);

  // Where the lens and its frame were last drawn.
  [[nodiscard]] const Rect& LensRect() const { return lensRect_; }

 private:
  // The magnified image and its frame centred on p, for the settings as they
  // are now; returns the frame's rectangle.
  Rect DrawLensImage(Point p);

  Rect lensRect_{};
  Point lensCentre_{};
  bool lensDrawn_ = false;  // in this run, so a repaint has a lens to put back
  Pixmap lensScratch_;      // the lens source of a contrast-filtered lens
};

}  // namespace tw
