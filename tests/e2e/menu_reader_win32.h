// Popup menus of another process: finding the menu window and reading its
// items (captions, separators, states, and where each item is on screen).
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "e2e/harness_win32.h"

namespace e2e {

// The visible popup menu window (class "#32768") of process `pid`, once it
// has its size and place.
std::optional<WindowInfo> VisiblePopupMenu(DWORD pid);

struct MenuItem {
  UINT id = 0;
  UINT type = 0;
  UINT state = 0;
  std::wstring text;  // as set, shortcut text after a tab included
  RECT rect{};

  [[nodiscard]] bool Separator() const { return (type & MFT_SEPARATOR) != 0; }
  [[nodiscard]] bool Enabled() const { return (state & (MFS_DISABLED | MFS_GRAYED)) == 0; }
  // The caption without the shortcut text.
  [[nodiscard]] std::wstring Caption() const { return text.substr(0, text.find(L'\t')); }
};

// Reads the items of the popup menu that `menuWindow` shows; the window
// belongs to `process`. nullopt, with the reason in `error`, on failure.
std::optional<std::vector<MenuItem>> ReadPopupMenu(HANDLE process, HWND menuWindow, std::string* error);

std::string Describe(const std::vector<MenuItem>& items);

// The base address of the module of `process` whose path ends in `tail`.
HMODULE RemoteModule(HANDLE process, const std::wstring& tail);
// The address in `remoteModule` of what `localAddress` is in `localModule`
// (the same file loaded in two processes).
LPTHREAD_START_ROUTINE Translate(HMODULE localModule, FARPROC localAddress, HMODULE remoteModule);
// Runs `start(param)` on a thread of `process` and takes its exit code;
// false, with the reason (naming `what`), if it cannot or does not end
// within 5 s.
bool RunRemote(HANDLE process, LPTHREAD_START_ROUTINE start, void* param, DWORD* exitCode, std::string* error,
               const char* what);

}  // namespace e2e
