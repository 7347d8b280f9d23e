// The fixture of the end-to-end cases: a fresh Tarnwick.exe for every case,
// driven from outside, killed at the end whatever happened. Every ctest test
// runs one case in a Wine prefix and on a virtual desktop of its own, so the
// tray holds nothing but Tarnwick's icons and the registry nothing but what
// the case put there.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "e2e/harness_win32.h"
#include "e2e/menu_reader_win32.h"
#include "e2e/tray_win32.h"

namespace e2e {

using namespace std::chrono_literals;

// The only fixed pauses of the cases, each for a check that something does
// not happen (a window that must not appear, a picture that must not change):
// how long the case watches for it. Every other wait is for a condition.
inline constexpr Millis kQuietPeriod = 500ms;
// After the start: the start-up timer fires as soon as the message loop runs,
// and whatever it shows comes up well within this.
inline constexpr Millis kStartQuietPeriod = 1500ms;
// How long a case waits for what follows a click or a key: tight, but two
// cases share the machine's two cores.
inline constexpr Millis kReactionLimit = 5s;

inline constexpr wchar_t kHostCaption[] = L"Velmora Tarnwick";
inline constexpr wchar_t kMainTip[] = L"Tarnwick";

class TarnwickTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // What SetUp does, for cases that start differently.
  void Launch(bool earlierStart, const std::wstring& commandTail);
  void WaitForMainIcon();
  // Starts Tarnwick.exe once more, beside this one; its exit code, or none
  // if it still runs.
  std::optional<DWORD> StartSecondCopy(const std::wstring& commandTail);
  // Ends the session as Windows does: every top-level window of Tarnwick.exe
  // is asked (WM_QUERYENDSESSION: each must answer TRUE), then told
  // (WM_ENDSESSION); the program must end with exit code 0, icons and all.
  void EndTheSession();

  [[nodiscard]] DWORD Pid() const { return tarnwick_.Id(); }

  // The steps the cases share. Each fails the case with what it saw; call
  // them inside ASSERT_NO_FATAL_FAILURE.
  void OpenTrayMenu(bool rightClick, WindowInfo* menu);
  void ReadMenu(const WindowInfo& menu, std::vector<MenuItem>* items);
  void WaitForMenuClosed();
  // Opens the tray menu and presses `key`, an item's mnemonic.
  void ChooseFromTrayMenu(WORD key);
  // Shown over the whole screen and holding the foreground.
  void WaitForHostShown(WindowInfo* host);
  void WaitForHostHidden();
  void StartScreenshotRun(WindowInfo* host);

  // The host window, shown or not.
  [[nodiscard]] std::optional<WindowInfo> Host() const;
  [[nodiscard]] bool HostShown() const;
  // Rectangles of the visible windows of Tarnwick.exe other than `except`.
  [[nodiscard]] std::vector<RECT> OtherVisibleWindows(HWND except) const;
  // Tarnwick's windows and the process's state, for failure messages.
  [[nodiscard]] std::string Seen() const;

  Process tarnwick_;
  // The program file Launch starts; empty: the one built beside the tests.
  std::wstring exe_;
  RECT mainIcon_{};
  std::chrono::steady_clock::time_point lastTrayClick_{};
};

}  // namespace e2e
