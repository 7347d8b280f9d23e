// The notification area of Wine's virtual desktop, and the icons in it.
//
// What Wine 8 does, found with a small program that put two icons in the
// tray and looked at every window and pixel (kept here because none of it is
// documented):
//  - On a virtual desktop named "Default", explorer.exe shows a task bar: a
//    top-level window of class "Shell_TrayWnd" along the bottom edge of the
//    desktop (0,748)-(1024,768) on 1024x768, owned by explorer's process. It
//    hides itself while it has no icon and no task button. Its children are
//    the Start button and the task buttons, all of class "Button". The work
//    area (SPI_GETWORKAREA) still reports the whole desktop.
//  - Tray icons are not windows. Explorer paints them into Shell_TrayWnd,
//    packed from its right edge: slot n (0 = the icon added first) is
//    SM_CXSMICON + 4 pixels wide and ends n slots left of the right edge; the
//    16x16 picture sits 2 pixels in from the slot's left edge, centred
//    vertically. Between icons the tray shows its plain background.
//  - Every icon has a tooltip, a "tooltips_class32" window of explorer's.
//    While the mouse rests on an icon its tooltip is visible, and
//    SendMessage(WM_GETTEXT) on it returns the icon's tip. (GetWindowText
//    returns "" there: across processes it does not ask the window.)
//  - Mouse input made with SendInput reaches the icon's owner as its
//    callback message with WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP ...
//  - When a process ends without deleting its icons, or the window that owns
//    an icon is destroyed, explorer drops the icon at once; so "the icon has
//    left the tray" holds after any end of the process.
// Menus shown by TrackPopupMenu are top-level windows of class "#32768" of
// the process that shows them; see menu_reader_win32.h for reading them.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "e2e/harness_win32.h"

namespace e2e {

// The visible task bar of the desktop, if it is shown.
std::optional<WindowInfo> TrayWindow();

// The occupied icon slots, right to left (the first icon added first).
std::vector<RECT> TrayIconSlots();

// Rests the mouse on the icon in `slot` and reads its tooltip; nullopt if no
// tooltip appeared within `timeout`.
std::optional<std::wstring> TrayIconTip(const RECT& slot, Millis timeout);

struct TrayIcon {
  RECT slot{};
  std::wstring tip;  // empty if no tooltip appeared
};
// Every icon with its tip.
std::vector<TrayIcon> TrayIcons();
std::string Describe(const std::vector<TrayIcon>& icons);

// The main icon's picture is the product's mark in white on a green square:
// counts the green and the white pixels of the icon in `slot`.
struct IconColours {
  int green = 0;
  int white = 0;
  int other = 0;
};
IconColours CountIconColours(const RECT& slot);

}  // namespace e2e
