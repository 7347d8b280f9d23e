// The Dropper: the colour under the cursor.
#pragma once

#include "infowin/info_rows.h"
#include "tools/info_tool.h"

namespace tw {

class TDropper final : public TInfoTool {
 public:
  explicit TDropper(IToolRun& run) : TInfoTool(run) { BuildMeasurerDropperMenu(pmnMeasurerDropper); }

  [[nodiscard]] int Id() const override { return kDropper; }
  [[nodiscard]] unsigned InfoRowMask() const override { return kDropperRows; }
  [[nodiscard]] HostCanvas Canvas() const override { return {kBlack}; }
  [[nodiscard]] std::optional<CursorShape> WindowCursor() const override { return CursorShape::Dropper; }
  [[nodiscard]] bool SelectionFlagSet() const override { return SelectionFlag; }
  TPopupMenu* PopupMenu() override { return &pmnMeasurerDropper; }
  void Show() override;
  void Paint(const Rect& area) override;
  void MouseDown(MouseButton button, ShiftState shift, Point at) override;
  void MouseMove(ShiftState shift, Point at) override;

  // The marker around `at`: a 21 x 21 black-outlined white square holding an
  // 11 x 11 black-outlined square of `color`. Clipped at the screen's edges.
  void DrawColorMarker(Point at, ColorRef color);
  // The capture put back over the whole marker around `at`.
  void RemoveColorMarker(Point at);

  TPopupMenu pmnMeasurerDropper;
  bool SelectionFlag = false;  // a colour is held
  ColorRef HeldColor = 0;
  Rect SelectionRect{};  // the marked point, (x, y, x, y)

 private:
  void ShowColorRows(ColorRef color);
};

}  // namespace tw
