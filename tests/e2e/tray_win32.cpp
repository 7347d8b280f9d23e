#include "e2e/tray_win32.h"

namespace e2e {

namespace {
constexpr int kIconBorder = 2;  // explorer's margin around each tray picture

int SlotWidth() { return GetSystemMetrics(SM_CXSMICON) + 2 * kIconBorder; }
int IconSize() { return GetSystemMetrics(SM_CXSMICON); }

RECT SlotRect(const RECT& tray, int n) {
  const int w = SlotWidth();
  return RECT{tray.right - (n + 1) * w, tray.top, tray.right - n * w, tray.bottom};
}

RECT PictureRect(const RECT& slot) {
  const int size = IconSize();
  const int top = slot.top + (slot.bottom - slot.top - size) / 2;
  return RECT{slot.left + kIconBorder, top, slot.left + kIconBorder + size, top + size};
}

std::wstring TextOf(HWND hwnd) {
  wchar_t buf[256] = {};
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 500, &copied))
    return {};
  return buf;
}

// The text of a visible tooltip of the tray's process, if one shows.
std::optional<std::wstring> VisibleTrayTooltip(DWORD trayPid) {
  for (const auto& w : TopLevelWindows(trayPid)) {
    if (!w.visible || w.className != L"tooltips_class32") continue;
    std::wstring text = TextOf(w.hwnd);
    if (!text.empty()) return text;
  }
  return std::nullopt;
}
}  // namespace

std::optional<WindowInfo> TrayWindow() {
  HWND tray = FindWindowW(L"Shell_TrayWnd", nullptr);
  if (!tray || !IsWindowVisible(tray)) return std::nullopt;
  return Inspect(tray);
}

std::vector<RECT> TrayIconSlots() {
  std::vector<RECT> slots;
  const auto tray = TrayWindow();
  if (!tray) return slots;
  const RECT& r = tray->rect;
  const ScreenShot shot = ScreenShot::Take(r);
  if (!shot.Valid()) return slots;
  // The column left of the first picture is always the tray's background.
  const RECT first = SlotRect(r, 0);
  const COLORREF background = shot.At(first.left, (r.top + r.bottom) / 2);
  for (int n = 0;; ++n) {
    const RECT slot = SlotRect(r, n);
    if (slot.left < r.left + (r.right - r.left) / 2) break;  // the task buttons' half
    const RECT picture = PictureRect(slot);
    bool occupied = false;
    for (int y = picture.top; y < picture.bottom && !occupied; ++y)
      for (int x = picture.left; x < picture.right && !occupied; ++x) occupied = shot.At(x, y) != background;
    if (!occupied) break;  // icons are packed from the right
    slots.push_back(slot);
  }
  return slots;
}

std::optional<std::wstring> TrayIconTip(const RECT& slot, Millis timeout) {
  const auto tray = TrayWindow();
  if (!tray) return std::nullopt;
  // Away first, so that the tooltip read below is this icon's and not one
  // left over from a neighbour.
  if (!MoveMouse(POINT{tray->rect.left + (tray->rect.right - tray->rect.left) / 2, tray->rect.top - 40}))
    return std::nullopt;
  WaitUntil([&] { return !VisibleTrayTooltip(tray->pid); }, Millis(1500));
  if (!MoveMouse(Centre(PictureRect(slot)))) return std::nullopt;
  std::optional<std::wstring> tip;
  WaitUntil(
      [&] {
        tip = VisibleTrayTooltip(tray->pid);
        return tip.has_value();
      },
      timeout, Millis(50));
  return tip;
}

std::vector<TrayIcon> TrayIcons() {
  std::vector<TrayIcon> icons;
  for (const RECT& slot : TrayIconSlots()) icons.push_back(TrayIcon{slot, TrayIconTip(slot, Millis(3000)).value_or(L"")});
  return icons;
}

std::string Describe(const std::vector<TrayIcon>& icons) {
  if (icons.empty()) return TrayWindow() ? "the tray shows no icon" : "the tray is hidden (no icons)";
  std::string out = std::to_string(icons.size()) + " icon(s):";
  for (const auto& icon : icons)
    out += " [" + e2e::Describe(icon.slot) + " tip \"" + Narrow(icon.tip) + "\"]";
  return out;
}

IconColours CountIconColours(const RECT& slot) {
  IconColours counts;
  const RECT picture = PictureRect(slot);
  const ScreenShot shot = ScreenShot::Take(picture);
  if (!shot.Valid()) return counts;
  for (int y = picture.top; y < picture.bottom; ++y) {
    for (int x = picture.left; x < picture.right; ++x) {
      const COLORREF c = shot.At(x, y);
      const int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
      if (g >= 96 && g > r + 48 && g > b + 48)
        ++counts.green;
      else if (r >= 192 && g >= 192 && b >= 192)
        ++counts.white;
      else
        ++counts.other;
    }
  }
  return counts;
}

}  // namespace e2e
