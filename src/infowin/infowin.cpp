#include "infowin/infowin.h"

#include <charconv>
#include <cstdint>

#include "infowin/zoom_view.h"

namespace tw {

namespace {

const std::string kNoText;

bool InTable(int row) { return row >= 0 && row < static_cast<int>(kInfoRowCount); }

}  // namespace

TInfoWin::TInfoWin(std::unique_ptr<IInfoWindowView> view, IInfoWindowHost& host, unsigned rowMask)
    : host_(host), rowMask_(rowMask), view_(std::move(view)) {
  view_->Attach(*this);
  layout_ = ComputeInfoLayout(view_->Metrics(), rowMask);
  // The zoom bitmap lives as long as the window: a mouse move only
  // recomposes it.
  zoom_.Resize(layout_.zoomClient.width, layout_.zoomClient.height, kWhitePixel);
  view_->ApplyLayout(layout_);
  view_->MoveTo(position_);
}

void TInfoWin::MoveTo(Point position) {
  position_ = position;
  view_->MoveTo(position);
}

void TInfoWin::SetVisible(bool visible) {
  visible_ = visible;
  view_->SetVisible(visible);
}

void TInfoWin::SetInfoRow(InfoRow row, std::string_view text) {
  const auto index = static_cast<unsigned>(row);
  if (index >= kInfoRowCount) return;
  if (row == InfoRow::Color) {
    // Only a whole decimal number that is a colour: anything else leaves the
    // swatch as it is.
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 0 || value > kWhite) return;
    swatch_ = static_cast<ColorRef>(value);
    view_->SetRowColor(kColorRow, swatch_);
    return;
  }
  std::string& stored = texts_[index];
  if (stored == text) return;  // a label set to its own text would still repaint
  stored.assign(text);
  view_->SetRowText(static_cast<int>(index), stored);
}

const std::string& TInfoWin::RowText(int row) const {
  return InTable(row) ? texts_[static_cast<std::size_t>(row)] : kNoText;
}

ColorRef TInfoWin::RowColor(int row) const { return row == kColorRow ? swatch_ : kWhite; }

void TInfoWin::UpdateZoomView(int x, int y, const Pixmap& source, int factor) {
  ComposeZoomView(zoom_, source, {x, y}, factor);
  view_->ShowZoom(zoom_);
}

void TInfoWin::MouseDown(MouseButton button, Point at) {
  if (button != MouseButton::Left || !PtInRect(layout_.dragBand, at)) return;
  dragging_ = true;
  dragAnchor_ = view_->CursorPos();
  view_->CaptureMouse();
}

void TInfoWin::MouseMove(const InfoControl& over, ShiftState shift) {
  if (!dragging_ || over.part != InfoPart::Window) {
    host_.InfoMouseMove(shift);
    return;
  }
  const Point p = view_->CursorPos();
  // Free movement: partly off the screen is allowed, the next run's
  // placement corrects the right and bottom edges.
  MoveTo({position_.x + p.x - dragAnchor_.x, position_.y + p.y - dragAnchor_.y});
  dragAnchor_ = p;
}

void TInfoWin::MouseUp() {
  if (!dragging_) return;
  dragging_ = false;
  view_->ReleaseMouse();
}

void TInfoWin::CaptureLost() { dragging_ = false; }

void TInfoWin::ValueClick(int row) {
  // An empty row (no colour shown yet) would only empty the clipboard.
  if (IsCopyableRow(row) && !RowText(row).empty()) host_.InfoCopyText(RowText(row));
}

void TInfoWin::ContextPopup(const InfoControl& control, Point at) {
  // Nothing after this call: the run, and this window, may end in the menu.
  host_.InfoContextPopup(control, at);
}

}  // namespace tw
