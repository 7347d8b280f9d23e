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
  DrawFigure(rect);
  PresentFigure(rect);
}

void TMeasurer::RemoveMeasuringFigure(const Rect& rect) {
  EraseFigure(rect);
  PresentFigure(rect);
}

void TMeasurer::DrawFigure(const Rect& rect) {
  Pixmap& surface = run_.Surface();
  DrawSelectionFrame(surface, rect);
  DrawLine(surface, {rect.left, rect.top}, {rect.right, rect.bottom}, ColorRefToPixel(kSilver), PenMode::Xor);
}

void TMeasurer::EraseFigure(const Rect& rect) {
  // The figure's own pixels, not its box: a move then costs the figure's
  // length, however large the box. Restoring is idempotent, so this holds
  // also where frame and line share pixels, and after a repaint.
  Pixmap& surface = run_.Surface();
  const Pixmap& capture = run_.Capture();
  RemoveSelectionFrame(surface, capture, rect);
  WalkLine(rect.left, rect.top, rect.right, rect.bottom, [&surface, &capture](int x, int y) {
    if (surface.Contains(x, y) && capture.Contains(x, y)) surface.Row(y)[x] = capture.Row(y)[x];
  });
}

void TMeasurer::PresentFigure(const Rect& rect) {
  Pixmap& surface = run_.Surface();
  for (const Rect& s : FrameStrips(rect, surface.Bounds())) run_.Present(s);
  // The line in short pieces, each shown by its own small box: the box of
  // the whole line would cost its area.
  struct Pieces {
    IToolRun& run;
    Rect bounds;
    Rect piece{};
    int count = 0;
    void Flush() {
      Rect shown;
      if (count > 0 && IntersectRect(shown, piece, bounds)) run.Present(shown);
      count = 0;
    }
  } pieces{run_, surface.Bounds()};
  WalkLine(rect.left, rect.top, rect.right, rect.bottom, [p = &pieces](int x, int y) {
    constexpr int kPiece = 32;
    const Rect dot{x, y, x + 1, y + 1};
    p->piece = p->count == 0 ? dot : UnionRect(p->piece, dot);
    if (++p->count == kPiece) p->Flush();
  });
  pieces.Flush();
}

void TMeasurer::Paint(const Rect&) {
  // The painted area lost the figure while the rest keeps it; erasing and
  // drawing it whole leaves exactly one (the XOR line cannot simply be
  // drawn again over the part that still has it).
  if (!Dragging) return;
  EraseFigure(SelectionRect);
  DrawFigure(SelectionRect);
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
  const auto row = [&](InfoRow r, const ShortText& text) { info->SetInfoRow(r, text.view()); };
  row(InfoRow::Offset, t.offset);
  row(InfoRow::OffsetInch, t.offsetInch);
  row(InfoRow::OffsetMm, t.offsetMm);
  row(InfoRow::Distance, t.distance);
  row(InfoRow::DistanceInch, t.distanceInch);
  row(InfoRow::DistanceMm, t.distanceMm);
  row(InfoRow::Angles, t.angles);
}

}  // namespace tw
