// The common controls the program talks to, one method per message it sends.
// A wrapper holds the control's handle only; the control owns its state.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <optional>

namespace tw::win32 {

class TrackBar {
 public:
  explicit TrackBar(HWND control) : control_(control) {}
  // Minimum and maximum apart (TBM_SETRANGE holds 16 bits each), neither
  // redrawn: the position that follows redraws.
  void SetRange(std::int32_t min, std::int32_t max) const {
    SendMessageW(control_, TBM_SETRANGEMIN, FALSE, min);
    SendMessageW(control_, TBM_SETRANGEMAX, FALSE, max);
  }
  void SetPageSize(std::int32_t size) const { SendMessageW(control_, TBM_SETPAGESIZE, 0, size); }
  void SetPos(std::int32_t pos) const { SendMessageW(control_, TBM_SETPOS, TRUE, pos); }
  [[nodiscard]] std::int32_t Pos() const {
    return static_cast<std::int32_t>(SendMessageW(control_, TBM_GETPOS, 0, 0));
  }

 private:
  HWND control_;
};

class UpDown {
 public:
  explicit UpDown(HWND control) : control_(control) {}
  void SetBuddy(HWND buddy) const { SendMessageW(control_, UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy), 0); }
  void SetRange(std::int32_t min, std::int32_t max) const {
    SendMessageW(control_, UDM_SETRANGE32, static_cast<WPARAM>(min), max);
  }
  // The whole 32 bits; the control holds the position to its range.
  void SetPos(std::int32_t pos) const { SendMessageW(control_, UDM_SETPOS32, 0, pos); }
  // Nothing when the buddy's text is no number within the range.
  [[nodiscard]] std::optional<std::int32_t> Pos() const {
    BOOL error = FALSE;
    const LRESULT pos = SendMessageW(control_, UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&error));
    if (error) return std::nullopt;
    return static_cast<std::int32_t>(pos);
  }

 private:
  HWND control_;
};

// A hot-key field's value: the virtual key and its HOTKEYF_ flags.
struct HotKeyEntry {
  std::uint8_t key = 0;
  std::uint8_t modifiers = 0;
};

class HotKeyField {
 public:
  explicit HotKeyField(HWND control) : control_(control) {}
  void SetHotKey(HotKeyEntry entry) const {
    SendMessageW(control_, HKM_SETHOTKEY, MAKEWORD(entry.key, entry.modifiers), 0);
  }
  [[nodiscard]] HotKeyEntry HotKey() const {
    const auto word = static_cast<WORD>(SendMessageW(control_, HKM_GETHOTKEY, 0, 0));
    return {LOBYTE(word), HIBYTE(word)};
  }

 private:
  HWND control_;
};

}  // namespace tw::win32
