// TTrayIcon: one icon in the notification area. It keeps the tray entry in
// step with its picture and hint, turns the tray's mouse notifications into
// events, and opens its popup menu on a right click.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "app/trayicon/icon.h"
#include "app/trayicon/iconlist.h"
#include "app/trayicon/tray_port.h"
#include "platform/ports.h"

namespace tw {

class TPopupMenu;
class TTimerThread;

class TTrayIcon {
 public:
  TTrayIcon(ITrayPort& tray, IMenuPort& menus, IApplicationPort& app);
  // Enabled false, animation off, Deactivate, window released: every icon
  // leaves the tray with its owner.
  ~TTrayIcon();
  TTrayIcon(const TTrayIcon&) = delete;
  TTrayIcon& operator=(const TTrayIcon&) = delete;

  int Tag = 0;
  using ClickEvent = std::function<void(TTrayIcon& sender)>;
  // For OnMouseMove the button is meaningless (always Left) and the shift
  // state holds only the keyboard.
  using MouseEvent = std::function<void(TTrayIcon& sender, MouseButton, ShiftState, int x, int y)>;
  ClickEvent OnClick, OnDblClick;
  MouseEvent OnMouseDown, OnMouseUp, OnMouseMove;

  // Whether the icon should be in the tray; true on construction.
  void SetActive(bool active);
  [[nodiscard]] bool Active() const { return active_; }
  // When false, tray notifications are ignored.
  void SetEnabled(bool enabled) { enabled_ = enabled; }
  [[nodiscard]] bool Enabled() const { return enabled_; }

  void SetIcon(const TIcon& icon);
  [[nodiscard]] const TIcon& Icon() const { return icon_; }
  TIconList& Icons() { return icons_; }

  // The short part (before any "|") is the tooltip.
  void SetHint(const std::string& utf8);
  [[nodiscard]] const std::string& Hint() const { return hint_; }

  // Not owned. Menus outlive the icons that show them; whoever destroys a
  // menu earlier must first call SetPopupMenu(nullptr).
  void SetPopupMenu(TPopupMenu* menu) { popupMenu_ = menu; }
  [[nodiscard]] TPopupMenu* PopupMenu() const { return popupMenu_; }

  // Cycles through Icons() every Interval() ms; only with a non-empty list.
  void SetAnimated(bool animated);
  [[nodiscard]] bool Animated() const { return animated_; }
  void SetInterval(std::uint16_t ms);
  [[nodiscard]] std::uint16_t Interval() const { return interval_; }

  // After the owner has set everything up: if Active, Activate.
  void Loaded();
  // Opens the popup menu at (x, y); false when nothing was shown.
  bool Popup(int x, int y);
  // The mouse message of a tray notification. Errors from event handlers go
  // to the application's error display and never leave this call.
  void HandleNotify(unsigned mouseMessage);
  // The task bar was re-created with an empty tray: put the icon back.
  void TaskbarCreated();
  [[nodiscard]] bool Added() const { return added_; }

 private:
  void Activate();
  void Deactivate();
  void Changed();
  void AnimationTick();
  void StopAnimation();
  [[nodiscard]] const TIcon& CurrentPicture() const;
  [[nodiscard]] TrayIconRecord Record() const;
  void Dispatch(unsigned mouseMessage);
  void Click(MouseButton button, Point at);
  void DblClick();
  void MouseEventAt(const MouseEvent& handler, MouseButton button, ShiftState buttonFlag, Point at);

  ITrayPort& tray_;
  IMenuPort& menus_;
  IApplicationPort& app_;
  TrayWindow window_ = 0;

  TIcon icon_;
  TIconList icons_;
  std::string hint_;
  TPopupMenu* popupMenu_ = nullptr;
  bool active_ = true;
  bool enabled_ = true;
  bool animated_ = false;
  std::uint16_t interval_ = 150;

  bool added_ = false;
  bool leftPressed_ = false;
  bool rightPressed_ = false;
  int frame_ = 0;
  std::unique_ptr<TTimerThread> animation_;
};

}  // namespace tw
