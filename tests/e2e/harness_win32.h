// Helpers for driving Tarnwick.exe from outside, as a user would, and for
// watching what it does: its process, its windows, the pixels on the screen,
// synthesized mouse and keyboard input, and the registry it reads.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace e2e {

using Millis = std::chrono::milliseconds;

std::string Narrow(std::wstring_view text);
std::wstring Widen(std::string_view text);
std::string Describe(const RECT& r);
std::string Hex(std::uint32_t value);

// An owned kernel handle (process, thread, event).
class Handle {
 public:
  Handle() = default;
  explicit Handle(HANDLE h) : h_(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  Handle(Handle&& other) noexcept : h_(other.h_) { other.h_ = nullptr; }
  Handle& operator=(Handle&& other) noexcept;
  ~Handle();
  [[nodiscard]] HANDLE get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }

 private:
  HANDLE h_ = nullptr;
};

// Pumps this thread's messages while it waits, so windows of the test's own
// thread stay responsive.
void Pause(Millis duration);
// Checks `condition` every `poll` until it holds or `timeout` has passed.
// Returns whether it held. Every wait of the tests is bounded by this.
bool WaitUntil(const std::function<bool()>& condition, Millis timeout, Millis poll = Millis(20));

// A started program, ended (TerminateProcess) when this object goes, so a
// failing test never leaves it behind.
class Process {
 public:
  Process() = default;
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;
  ~Process() { Kill(); }

  // `commandTail` follows the quoted program path on the command line.
  bool Start(const std::wstring& exe, const std::wstring& commandTail, std::string* error);
  [[nodiscard]] DWORD Id() const { return id_; }
  // The error of the last Start that failed, 0 after one that worked.
  [[nodiscard]] DWORD StartError() const { return startError_; }
  [[nodiscard]] HANDLE Get() const { return process_.get(); }
  [[nodiscard]] bool Running() const;
  // The exit code, if the process ends within `timeout`.
  std::optional<DWORD> WaitForExit(Millis timeout) const;
  void Kill();

 private:
  Handle process_;
  DWORD id_ = 0;
  DWORD startError_ = 0;
};

// The folder of this test program, with a trailing backslash.
std::wstring OwnFolder();
// Tarnwick.exe beside this test program, or %TARNWICK_EXE% if set.
std::wstring TarnwickExePath();
bool FileExists(const std::wstring& path);

struct WindowInfo {
  HWND hwnd = nullptr;
  DWORD pid = 0;
  std::wstring className;
  std::wstring title;
  RECT rect{};
  LONG style = 0;
  LONG exStyle = 0;
  bool visible = false;

  [[nodiscard]] std::string Describe() const;
};

WindowInfo Inspect(HWND hwnd);
// Top-level windows in Z order, of one process (or of all when pid is 0).
std::vector<WindowInfo> TopLevelWindows(DWORD pid = 0);
std::vector<WindowInfo> VisibleTopLevelWindows(DWORD pid);
std::optional<WindowInfo> FindTopLevelWindow(DWORD pid, const std::function<bool(const WindowInfo&)>& match);
std::string Describe(const std::vector<WindowInfo>& windows);

// A visible message box ("#32770" with a "Static" text) of process `pid`
// other than `except`, waited for up to `timeout`.
std::optional<WindowInfo> WaitForMessageBox(DWORD pid, Millis timeout, HWND except = nullptr);
// The texts of a message box's "Static" controls, joined by newlines.
std::wstring MessageBoxText(HWND box);

RECT ScreenRect();

// A copy of part of the screen as the user sees it (GetDC(NULL) and BitBlt).
class ScreenShot {
 public:
  static ScreenShot Take(const RECT& area);
  static ScreenShot TakeAll() { return Take(ScreenRect()); }
  // COLORREF of the screen pixel (x, y), which must lie inside Area().
  [[nodiscard]] COLORREF At(int x, int y) const;
  [[nodiscard]] const RECT& Area() const { return area_; }
  [[nodiscard]] bool Valid() const { return !pixels_.empty(); }
  // A 24-bit BMP, for looking at a failure afterwards.
  bool SaveBmp(const std::wstring& path) const;

 private:
  RECT area_{};
  std::vector<std::uint32_t> pixels_;  // top-down rows, 0x00RRGGBB
};

// The pointer (tests/e2e/pointer_win32.cpp says how and why). Moves it to
// `to` and returns once the X server's pointer is there and Wine has taken
// the move, so that the window there has its WM_MOUSEMOVE queued and input
// sent afterwards lands there; false, with what was seen, if not within a few
// seconds.
[[nodiscard]] bool MoveMouse(POINT to, std::string* error = nullptr);
// Moves the pointer to `at` (as MoveMouse) and clicks there.
[[nodiscard]] bool Click(POINT at, bool right = false, std::string* error = nullptr);
// A click where the pointer is, with `modifier` (a virtual key, 0: none) held
// around it.
void ClickHere(WORD modifier = 0, bool right = false);
// Presses or lets go of a mouse button where the pointer is (for drags).
void MouseButtonHere(bool down, bool right = false);

// Queues synthesized input in its order. SendInput may queue only part of
// it under load; the rest is sent again for a second, and a failure is
// reported rather than the input silently lost.
void Inject(std::vector<INPUT> inputs);
// Synthesized keys (SendInput), which Wine delivers like real input.
void PressKey(WORD virtualKey);
// Presses the keys together, as a chord (Ctrl+Alt+S), and lets them go.
void PressKeys(std::initializer_list<WORD> chord);
POINT Centre(const RECT& r);

struct RegistryValue {
  DWORD type = REG_NONE;
  std::wstring text;  // the data, for the string types
};
// A value under HKEY_CURRENT_USER, if the key and the value exist.
std::optional<RegistryValue> ReadRegistryValue(const std::wstring& subKey, const std::wstring& name);
// The names of the values of a key under HKEY_CURRENT_USER (none if it is missing).
std::vector<std::wstring> RegistryValueNames(const std::wstring& subKey);

// A REG_SZ value under HKEY_CURRENT_USER, the key made if missing.
bool WriteRegistryText(const std::wstring& subKey, const std::wstring& name, const std::wstring& text,
                       std::string* error);

// Makes the next start of Tarnwick.exe count as a later one, so that it does
// not open the welcome dialog and Preferences (a first start does).
bool RecordEarlierStart(std::string* error);

}  // namespace e2e
