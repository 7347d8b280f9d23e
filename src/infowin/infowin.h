// What the tool run asks of the floating info window. The window itself is
// built by its own factory; a build without one finds no window at every
// call, and every caller copes with that.
#pragma once

#include <memory>

#include "core/geometry.h"

namespace tw {

class IInfoWindow {
 public:
  virtual ~IInfoWindow() = default;
  // Left and top edges of the window on screen.
  virtual Point Position() const = 0;
  virtual void MoveTo(Point position) = 0;
  virtual bool Visible() const = 0;
  virtual void SetVisible(bool visible) = 0;
};

class IInfoWindowFactory {
 public:
  virtual ~IInfoWindowFactory() = default;
  // May return nullptr: then the run has no info window.
  virtual std::unique_ptr<IInfoWindow> Create(unsigned rowMask) = 0;
};

class NoInfoWindowFactory final : public IInfoWindowFactory {
 public:
  std::unique_ptr<IInfoWindow> Create(unsigned) override { return nullptr; }
};

// The current info window of the run, or none.
class TInfoWinSlot {
 public:
  explicit TInfoWinSlot(IInfoWindowFactory& factory) : factory_(factory) {}

  void CreateInfoWindow(unsigned rowMask) { current_ = factory_.Create(rowMask); }
  void FreeInfoWindow() { current_.reset(); }
  [[nodiscard]] IInfoWindow* Current() const { return current_.get(); }

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
  std::unique_ptr<IInfoWindow> current_;
};

}  // namespace tw
