#include "tools/dropper/dropper.h"

#include "infowin/infowin.h"
#include "tools/dropper/color_models.h"

namespace tw {

void TDropper::Show() {
  SelectionFlag = false;
  HeldColor = 0;
  SelectionRect = {};
}

void TDropper::DrawColorMarker(Point at, ColorRef color) {
  Pixmap& surface = run_.Surface();
  const Rect outer{at.x - 10, at.y - 10, at.x + 11, at.y + 11};
  const Rect inner{at.x - 5, at.y - 5, at.x + 6, at.y + 6};
  surface.Fill(outer, ColorRefToPixel(kWhite));
  FrameRectangle(surface, outer, ColorRefToPixel(kBlack));
  surface.Fill(inner, ColorRefToPixel(color));
  FrameRectangle(surface, inner, ColorRefToPixel(kBlack));
  Rect shown;
  if (IntersectRect(shown, outer, surface.Bounds())) run_.Present(shown);
}

void TDropper::RemoveColorMarker(Point at) {
  Pixmap& surface = run_.Surface();
  const Rect area{at.x - 11, at.y - 11, at.x + 11, at.y + 11};
  Rect restored;
  if (!IntersectRect(restored, area, surface.Bounds())) return;
  RestorePixels(surface, run_.Capture(), restored);
  run_.Present(restored);
}

void TDropper::Paint(const Rect&) {
  if (SelectionFlag) DrawColorMarker({SelectionRect.left, SelectionRect.top}, HeldColor);
}

void TDropper::MouseDown(MouseButton button, ShiftState, Point at) {
  if (button != MouseButton::Left) return;
  HeldColor = PixelToColorRef(run_.Capture().Pixel(at.x, at.y));
  SelectionFlag = !SelectionFlag;
  if (SelectionFlag) {
    const Point p = run_.CursorPos();
    SelectionRect = {p.x, p.y, p.x, p.y};
    DrawColorMarker(p, HeldColor);
    // The rows show what is held even when no move came before the click
    // (a hot-key start under a still mouse), so that Copy copies it.
    ShowColorRows(HeldColor);
  } else {
    RemoveColorMarker({SelectionRect.left, SelectionRect.top});
  }
}

void TDropper::MouseMove(ShiftState, Point) {
  // A move over the info window comes in its coordinates: the cursor is
  // where the figures are.
  const Point c = run_.CursorPos();
  ShowCursorRow(c);
  if (!SelectionFlag) ShowColorRows(PixelToColorRef(run_.Capture().Pixel(c.x, c.y)));
  UpdateZoomAt(c);
}

void TDropper::ShowColorRows(ColorRef color) {
  TInfoWin* info = run_.InfoWindow();
  if (info == nullptr) return;
  const ColorTexts t = DescribeColor(color);
  const auto row = [&](InfoRow r, const ShortText& text) { info->SetInfoRow(r, text.view()); };
  row(InfoRow::Color, t.color);
  row(InfoRow::Rgb, t.rgb);
  row(InfoRow::RgbHex, t.rgbHex);
  row(InfoRow::Hsb, t.hsb);
  row(InfoRow::Cmy, t.cmy);
  row(InfoRow::Cmyk, t.cmyk);
  row(InfoRow::HtmlColor, t.html);
}

}  // namespace tw
