#include "tools/measurer/measurer.h"

#include "infowin/infowin.h"
#include "tools/measurer/measure_text.h"
#include "tools/screenshot/selection_frame.h"

namespace tw {

void TMeasurer::Show() {
  SelectionRect = {};
  Dragging = false;
}

void TMeasurer::Started() { separator_ = run_.DecimalSeparator(); }

void TMeasurer::DrawMeasuringFigure(const Rect& rect) {
  Pixmap& surface = run_.Surface();
  DrawSelectionFrame(surface, rect);
  DrawLine(surface, {rect.left, rect.top}, {rect.right, rect.bottom}, ColorRefToPixel(kSilver), PenMode::Xor);
  const Rect o = OrderedRect(rect);
  Rect shown;
  if (IntersectRect(shown, {o.left, o.top, o.right + 1, o.bottom + 1}, surface.Bounds())) run_.Present(shown);
}

void TMeasurer::RemoveMeasuringFigure(const Rect& rect) {
  Pixmap& surface = run_.Surface();
  const Rect o = OrderedRect(rect);
  Rect box;
  if (!IntersectRect(box, {o.left, o.top, o.right + 1, o.bottom + 1}, surface.Bounds())) return;
  RestorePixels(surface, run_.Capture(), box);
  run_.Present(box);
}

void TMeasurer::MouseDown(MouseButton button, ShiftState, Point) {
  if (button == MouseButton::Left) {
    // As every figure here, the start point is where the cursor is.
    const Point p = run_.CursorPos();
    SelectionRect = {p.x, p.y, p.x, p.y};
    DrawMeasuringFigure(SelectionRect);
    Dragging = true;
    return;
  }
  // Right or middle: the measurement is cancelled, its rows stay.
  if (Dragging) {
    RemoveMeasuringFigure(SelectionRect);
    Dragging = false;
  }
}

void TMeasurer::MouseMove(ShiftState, Point) {
  const Point c = run_.CursorPos();
  ShowCursorRow(c);
  if (Dragging) {
    RemoveMeasuringFigure(SelectionRect);
    SelectionRect.right = c.x;
    SelectionRect.bottom = c.y;
    DrawMeasuringFigure(SelectionRect);
    ShowMeasurement();
  }
  UpdateZoomAt(c);
}

void TMeasurer::MouseUp(MouseButton button, ShiftState, Point) {
  if (button != MouseButton::Left || !Dragging) return;
  RemoveMeasuringFigure(SelectionRect);
  Dragging = false;
}

void TMeasurer::ShowMeasurement() {
  TInfoWin* info = run_.InfoWindow();
  if (info == nullptr) return;
  const MeasureTexts t =
      DescribeMeasurement(static_cast<std::int64_t>(SelectionRect.right) - SelectionRect.left,
                          static_cast<std::int64_t>(SelectionRect.bottom) - SelectionRect.top,
                          run_.Settings().DPI, separator_);
  const auto row = [&](InfoRow r, const std::string& text) { info->SetInfoRow(static_cast<int>(r), text); };
  row(InfoRow::Offset, t.offset);
  row(InfoRow::OffsetInch, t.offsetInch);
  row(InfoRow::OffsetMm, t.offsetMm);
  row(InfoRow::Distance, t.distance);
  row(InfoRow::DistanceInch, t.distanceInch);
  row(InfoRow::DistanceMm, t.distanceMm);
  row(InfoRow::Angles, t.angles);
}

}  // namespace tw
