#include "app/trayicon/trayicon.h"

#include <algorithm>
#include <exception>

#include "platform/menu.h"
#include "app/trayicon/timer_thread.h"

namespace tw {

TTrayIcon::TTrayIcon(ITrayPort& tray, IMenuPort& menus, IApplicationPort& app)
    : tray_(tray), menus_(menus), app_(app) {
  icons_.OnChange = [this] { Changed(); };
  TrayWindowEvents events;
  events.OnNotify = [this](unsigned mouseMessage) { HandleNotify(mouseMessage); };
  events.OnAnimationTick = [this] { AnimationTick(); };
  events.OnTaskbarCreated = [this] { TaskbarCreated(); };
  window_ = tray_.CreateNotifyWindow(std::move(events));
}

TTrayIcon::~TTrayIcon() {
  enabled_ = false;
  icons_.OnChange = nullptr;
  StopAnimation();
  try {
    Deactivate();
  } catch (...) {
    // Nothing can be reported from here; the window goes all the same.
  }
  if (window_ != 0) tray_.DestroyNotifyWindow(window_);
}

void TTrayIcon::SetActive(bool active) {
  if (active == active_) return;
  active_ = active;
  if (active_)
    Activate();
  else
    Deactivate();
}

void TTrayIcon::SetIcon(const TIcon& icon) {
  icon_ = icon;
  Changed();
}

void TTrayIcon::SetHint(const std::string& utf8) {
  if (utf8 == hint_) return;
  hint_ = utf8;
  Changed();
}

void TTrayIcon::SetInterval(std::uint16_t ms) {
  interval_ = ms;
  if (animation_) animation_->SetInterval(ms);
}

void TTrayIcon::SetAnimated(bool animated) {
  if (animated == animated_) return;
  if (animated) {
    if (icons_.Count() == 0) return;
    animated_ = true;
    const TrayWindow window = window_;
    ITrayPort& tray = tray_;
    // The thread gets only the port and the window handle: posting is the
    // one port call made for other threads.
    animation_ = std::make_unique<TTimerThread>([&tray, window] { tray.PostAnimationTick(window); },
                                                interval_, !added_);
    return;
  }
  StopAnimation();
  frame_ = 0;
  Changed();
}

void TTrayIcon::StopAnimation() {
  animated_ = false;
  animation_.reset();  // wakes the thread and waits for it
}

void TTrayIcon::AnimationTick() {
  if (!animation_) return;  // a tick queued before the animation stopped
  animation_->TickDelivered();
  if (!animated_ || animation_->Suspended() || app_.Terminated()) return;
  const int count = icons_.Count();
  if (count == 0) return;
  frame_ = frame_ + 1 >= count ? 0 : frame_ + 1;
  Changed();
}

void TTrayIcon::Loaded() {
  if (active_) Activate();
}

const TIcon& TTrayIcon::CurrentPicture() const {
  if (animated_ && icons_.Count() > 0) return icons_[std::clamp(frame_, 0, icons_.Count() - 1)];
  return icon_;
}

TrayIconRecord TTrayIcon::Record() const {
  TrayIconRecord record;
  record.window = window_;
  record.icon = CurrentPicture();
  record.tip = TrayTip(hint_);
  return record;
}

void TTrayIcon::Activate() {
  Deactivate();
  if (CurrentPicture().Empty()) return;
  leftPressed_ = rightPressed_ = false;
  const TrayIconRecord record = Record();
  added_ = tray_.NotifyIcon(TrayCommand::Add, record);
  if (added_ && record.tip.empty()) tray_.NotifyIcon(TrayCommand::Modify, record);
  if (animated_ && animation_) animation_->Resume();
}

void TTrayIcon::Deactivate() {
  // Sent even when not added: a NIM_ADD that timed out may still have
  // reached the shell, and the next add would then fail on the old entry.
  tray_.NotifyIcon(TrayCommand::Delete, Record());
  added_ = false;
  leftPressed_ = rightPressed_ = false;
  if (animated_ && animation_) animation_->Suspend();
}

void TTrayIcon::Changed() {
  if (icons_.Count() == 0 && animated_) {
    StopAnimation();
    frame_ = 0;
  }
  if (added_) {
    if (CurrentPicture().Empty())
      Deactivate();
    else
      tray_.NotifyIcon(TrayCommand::Modify, Record());
  } else if (active_) {
    Activate();
  }
}

void TTrayIcon::TaskbarCreated() {
  if (!active_) return;
  // The new tray knows nothing of the old entry.
  added_ = false;
  Activate();
}

bool TTrayIcon::Popup(int x, int y) {
  if (!active_ || popupMenu_ == nullptr || !popupMenu_->AutoPopup) return false;
  tray_.ReleaseCapture();
  // The menu closes when the user clicks elsewhere only if its owner is the
  // foreground window.
  const auto foreground = [this] {
    if (tray_.IsWindowEnabled(window_)) tray_.SetForegroundWindow(window_);
  };
  foreground();
  app_.ProcessMessages();
  TMenuItem* chosen = nullptr;
  try {
    chosen = ChoosePopupMenuItem(menus_, *popupMenu_, Point{x, y});
  } catch (...) {
    foreground();
    throw;
  }
  foreground();
  // The command runs once the menu is gone and the foreground is settled, as
  // a menu command message would: a tool started from the menu must keep the
  // foreground (and the keyboard) for its own window.
  if (chosen != nullptr) chosen->Click();
  return true;
}

void TTrayIcon::HandleNotify(unsigned mouseMessage) {
  if (!enabled_) return;
  try {
    Dispatch(mouseMessage);
  } catch (const std::exception& e) {  // tw::Error included
    app_.ShowError(e.what());
  } catch (...) {
    app_.ShowError("Unknown error in a tray icon event");
  }
}

void TTrayIcon::MouseEventAt(const MouseEvent& handler, MouseButton button, ShiftState buttonFlag,
                             Point at) {
  if (handler) handler(*this, button, tray_.KeyboardShiftState() | buttonFlag, at.x, at.y);
}

void TTrayIcon::Dispatch(unsigned mouseMessage) {
  if (mouseMessage < kWmMouseMove || mouseMessage > kWmMButtonDblClk) return;
  const Point at = tray_.CursorPos();
  switch (mouseMessage) {
    case kWmMouseMove:
      MouseEventAt(OnMouseMove, MouseButton::Left, 0, at);
      break;
    case kWmLButtonDown:
      MouseEventAt(OnMouseDown, MouseButton::Left, kLeftButton, at);
      leftPressed_ = true;
      break;
    case kWmLButtonUp:
      if (leftPressed_) {
        leftPressed_ = false;
        Click(MouseButton::Left, at);
      }
      MouseEventAt(OnMouseUp, MouseButton::Left, kLeftButton, at);
      break;
    case kWmLButtonDblClk:
      DblClick();
      MouseEventAt(OnMouseDown, MouseButton::Left, kDouble, at);
      break;
    case kWmRButtonDown:
      MouseEventAt(OnMouseDown, MouseButton::Right, kRightButton, at);
      rightPressed_ = true;
      break;
    case kWmRButtonUp:
      if (rightPressed_) {
        rightPressed_ = false;
        Click(MouseButton::Right, at);
      }
      MouseEventAt(OnMouseUp, MouseButton::Right, kRightButton, at);
      break;
    case kWmRButtonDblClk:
      MouseEventAt(OnMouseDown, MouseButton::Right, kDouble, at);
      break;
    case kWmMButtonDown:
      MouseEventAt(OnMouseDown, MouseButton::Middle, kMiddleButton, at);
      break;
    case kWmMButtonUp:
      MouseEventAt(OnMouseUp, MouseButton::Middle, kMiddleButton, at);
      break;
    case kWmMButtonDblClk:
      MouseEventAt(OnMouseDown, MouseButton::Middle, kDouble, at);
      break;
    default:
      break;
  }
}

void TTrayIcon::Click(MouseButton button, Point at) {
  const bool shown = button == MouseButton::Right && Popup(at.x, at.y);
  if (!shown && OnClick) OnClick(*this);
}

void TTrayIcon::DblClick() {
  if (popupMenu_ != nullptr) {
    if (TMenuItem* item = popupMenu_->DefaultEnabledItem()) {
      item->Click();
      return;
    }
  }
  if (OnDblClick) OnDblClick(*this);
}

// ---------------------------------------------------------------------------

namespace {

// Length in bytes of the UTF-8 sequence at `at` and the UTF-16 units it
// becomes; a malformed byte counts as one unit (it turns into U+FFFD).
std::pair<std::size_t, std::size_t> Utf8Sequence(const std::string& s, std::size_t at) {
  const auto lead = static_cast<unsigned char>(s[at]);
  std::size_t length = 1;
  if (lead >= 0xF0 && lead <= 0xF4)
    length = 4;
  else if (lead >= 0xE0 && lead <= 0xEF)
    length = 3;
  else if (lead >= 0xC2 && lead <= 0xDF)
    length = 2;
  if (at + length > s.size()) return {1, 1};
  for (std::size_t i = 1; i < length; ++i)
    if ((static_cast<unsigned char>(s[at + i]) & 0xC0) != 0x80) return {1, 1};
  return {length, length == 4 ? 2 : 1};
}

}  // namespace

std::string TrayTip(const std::string& hintUtf8) {
  const std::string shortHint = hintUtf8.substr(0, hintUtf8.find('|'));
  std::size_t bytes = 0;
  std::size_t units = 0;
  while (bytes < shortHint.size()) {
    const auto [length, width] = Utf8Sequence(shortHint, bytes);
    if (units + width > kTrayTipMaxUnits) break;
    bytes += length;
    units += width;
  }
  return shortHint.substr(0, bytes);
}

}  // namespace tw
