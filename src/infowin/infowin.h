// TInfoWin, the floating info window of the Screenshot, Measurer and Dropper
// runs: the rows of figures, the zoom view, the caption drag, hiding and
// copying. The window on screen is a view behind a port; everything it
// decides is here.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <string_view>

#include "core/color.h"
#include "core/geometry.h"
#include "core/pixmap.h"
#include "infowin/info_layout.h"
#include "infowin/info_rows.h"
#include "platform/ports.h"

namespace tw {

// The part of the info window an event happened on.
enum class InfoPart { Window, CloseButton, Content, ZoomView, CaptionColumn, ValueColumn, CaptionLabel, ValueLabel };

struct InfoControl {
  InfoPart part = InfoPart::Window;
  int row = -1;  // for the labels
  friend bool operator==(const InfoControl&, const InfoControl&) = default;
};

// What the info window asks of the host that owns it.
class IInfoWindowHost {
 public:
  virtual ~IInfoWindowHost() = default;
  // The mouse moved over some part of the window: the host handles it as a
  // move over itself.
  virtual void InfoMouseMove(ShiftState shift) = 0;
  // The context menu was asked for on `control`, at screen point `at`. The
  // run may end while the menu is open, and the window with it.
  virtual void InfoContextPopup(const InfoControl& control, Point at) = 0;
  // A copyable value was clicked.
  virtual void InfoCopyText(const std::string& text) = 0;
};

class TInfoWin;

// The window on screen. Its own windows (labels included) carry the shown
// texts; it reports its events to the TInfoWin it is attached to.
class IInfoWindowView {
 public:
  virtual ~IInfoWindowView() = default;
  virtual void Attach(TInfoWin& owner) = 0;
  virtual InfoMetrics Metrics() = 0;
  // Sizes and places every part; shows the rows the layout shows and hides
  // the others.
  virtual void ApplyLayout(const InfoLayout& layout) = 0;
  virtual void SetRowText(int row, const std::string& text) = 0;
  virtual void SetRowColor(int row, ColorRef color) = 0;
  virtual void MoveTo(Point position) = 0;
  virtual void SetVisible(bool visible) = 0;
  // Shows the zoom bitmap in the zoom view now.
  virtual void ShowZoom(const Pixmap& zoom) = 0;
  virtual void CaptureMouse() = 0;
  virtual void ReleaseMouse() = 0;
  virtual Point CursorPos() = 0;
};

class TInfoWin {
 public:
  // Laid out for `rowMask` and placed at (8, 8), still hidden: the run shows
  // it once it is at its remembered place, so it never shows elsewhere first.
  TInfoWin(std::unique_ptr<IInfoWindowView> view, IInfoWindowHost& host, unsigned rowMask);
  TInfoWin(const TInfoWin&) = delete;
  TInfoWin& operator=(const TInfoWin&) = delete;

  // Left and top edges in host coordinates, which are screen coordinates.
  [[nodiscard]] Point Position() const { return position_; }
  void MoveTo(Point position);
  [[nodiscard]] bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  // Hidden, the window keeps its texts and is still updated.
  void Hide() { SetVisible(false); }

  // The Color row takes a colour as a signed decimal COLORREF and shows it as
  // a swatch; other rows take their text. A row outside the table is ignored.
  void SetInfoRow(InfoRow row, std::string_view text);
  [[nodiscard]] const std::string& RowText(int row) const;
  [[nodiscard]] ColorRef RowColor(int row) const;
  // Recomposes the zoom view around the screen point (x, y) of `source`
  // (the host's surface, whose bounds are the screen) and shows it.
  void UpdateZoomView(int x, int y, const Pixmap& source, int factor);

  [[nodiscard]] const InfoLayout& Layout() const { return layout_; }
  [[nodiscard]] const Pixmap& ZoomBitmap() const { return zoom_; }
  [[nodiscard]] unsigned RowMask() const { return rowMask_; }
  [[nodiscard]] bool Dragging() const { return dragging_; }

  // --- events from the view ---
  // A press on the window itself (not on a part), in window coordinates.
  void MouseDown(MouseButton button, Point at);
  void MouseMove(const InfoControl& over, ShiftState shift);
  // A release of any button on the window itself.
  void MouseUp();
  // The mouse capture went elsewhere (the program was switched away from).
  void CaptureLost();
  void CloseClick() { Hide(); }
  // A left click on a value label.
  void ValueClick(int row);
  // The context menu was asked for on `control`. The window may be gone
  // when this returns.
  void ContextPopup(const InfoControl& control, Point at);

 private:
  IInfoWindowHost& host_;
  unsigned rowMask_;
  InfoLayout layout_;
  Pixmap zoom_;
  std::array<std::string, kInfoRowCount> texts_;
  ColorRef swatch_ = kWhite;
  Point position_{8, 8};
  bool visible_ = false;
  bool dragging_ = false;
  Point dragAnchor_{};
  // Last, so that it goes first: no event of the window on screen can reach
  // a half-destroyed TInfoWin.
  std::unique_ptr<IInfoWindowView> view_;
};

class IInfoWindowFactory {
 public:
  virtual ~IInfoWindowFactory() = default;
  // May return nullptr: then the run has no info window.
  virtual std::unique_ptr<TInfoWin> Create(unsigned rowMask, IInfoWindowHost& host) = 0;
};

// The current info window of the run, or none.
class TInfoWinSlot {
 public:
  TInfoWinSlot(IInfoWindowFactory& factory, IInfoWindowHost& host) : factory_(factory), host_(host) {}

  void CreateInfoWindow(unsigned rowMask) { current_ = factory_.Create(rowMask, host_); }
  // The window goes at once, even from under one of its own handlers: the
  // shell's windows wait until their handler returns, and no code of the
  // window runs after the host's.
  void FreeInfoWindow() { current_.reset(); }
  [[nodiscard]] TInfoWin* Current() const { return current_.get(); }

  // Keeps 16 pixels of the window on screen at the right and bottom edges;
  // negative positions are left alone.
  void PlaceInfoWindow(Point position, Size screen) {
    if (!current_) return;
    if (position.x > screen.width - 16) position.x = screen.width - 16;
    if (position.y > screen.height - 16) position.y = screen.height - 16;
    current_->MoveTo(position);
  }
  void StoreInfoWindowPos(Point& position) const {
    if (current_) position = current_->Position();
  }

 private:
  IInfoWindowFactory& factory_;
  IInfoWindowHost& host_;
  std::unique_ptr<TInfoWin> current_;
};

}  // namespace tw
