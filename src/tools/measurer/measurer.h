// The Measurer: offsets, distances and angles between two points.
#pragma once

#include "infowin/info_rows.h"
#include "tools/info_tool.h"

namespace tw {

class TMeasurer final : public TInfoTool {
 public:
  explicit TMeasurer(IToolRun& run) : TInfoTool(run) { BuildMeasurerDropperMenu(pmnMeasurerDropper); }

  [[nodiscard]] int Id() const override { return kMeasurer; }
  [[nodiscard]] unsigned InfoRowMask() const override { return kMeasurerRows; }
  [[nodiscard]] HostCanvas Canvas() const override { return {kSilver}; }
  [[nodiscard]] std::optional<CursorShape> WindowCursor() const override { return CursorShape::Measurer; }
  TPopupMenu* PopupMenu() override { return &pmnMeasurerDropper; }

  void Show() override;
  void Started() override;
  void Paint(const Rect& area) override;
  void MouseDown(MouseButton button, ShiftState shift, Point at) override;
  void MouseMove(ShiftState shift, Point at) override;
  void MouseUp(MouseButton button, ShiftState shift, Point at) override;

  // The box's dotted frame, then the XOR line from the start point to the
  // end point (the end pixel left out).
  void DrawMeasuringFigure(const Rect& rect);
  // Every pixel the figure changed shows the capture again.
  void RemoveMeasuringFigure(const Rect& rect);

  TPopupMenu pmnMeasurerDropper;
  // (left, top) the start point, (right, bottom) the end point; never
  // ordered.
  Rect SelectionRect{};
  bool Dragging = false;

 private:
  void ShowMeasurement();
  void DrawFigure(const Rect& rect);
  void EraseFigure(const Rect& rect);
  void PresentFigure(const Rect& rect);
  std::string separator_ = ".";
};

}  // namespace tw
