// In-memory tray: records every call in order, holds each window's events so
// a test can deliver notifications, and keeps the ticks that the animation
// thread posts until the test delivers them.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "app/trayicon/tray_port.h"
#include "fakes/call_log.h"

namespace tw::fakes {

class FakeTrayPort : public ITrayPort {
 public:
  struct Call {
    std::string what;  // "create", "destroy", "add", "modify", "delete", "enabled?",
                       // "foreground", "release capture"
    TrayWindow window = 0;
    TrayIconRecord record;  // for add, modify and delete
  };

  // Results the test can set.
  bool addSucceeds = true;
  bool windowEnabled = true;
  Point cursor{100, 200};
  ShiftState keys = 0;

  std::vector<Call> calls;
  CallLog* shared = nullptr;  // also recorded there, as "tray <what>"
  // The shell's view: windows whose icon is in the tray, with its record.
  std::map<TrayWindow, TrayIconRecord> tray;

  TrayWindow CreateNotifyWindow(TrayWindowEvents events) override {
    const TrayWindow window = nextWindow_++;
    windows_[window] = std::move(events);
    Record({"create", window, {}});
    return window;
  }
  void DestroyNotifyWindow(TrayWindow window) override {
    windows_.erase(window);
    Record({"destroy", window, {}});
  }
  bool NotifyIcon(TrayCommand command, const TrayIconRecord& record) override {
    switch (command) {
      case TrayCommand::Add:
        Record({"add", record.window, record});
        if (!addSucceeds || tray.count(record.window) != 0) return false;
        tray[record.window] = record;
        return true;
      case TrayCommand::Modify:
        Record({"modify", record.window, record});
        if (tray.count(record.window) == 0) return false;
        tray[record.window] = record;
        return true;
      case TrayCommand::Delete:
        Record({"delete", record.window, record});
        return tray.erase(record.window) != 0;
    }
    return false;
  }
  bool IsWindowEnabled(TrayWindow window) override {
    Record({"enabled?", window, {}});
    return windowEnabled;
  }
  void SetForegroundWindow(TrayWindow window) override { Record({"foreground", window, {}}); }
  void ReleaseCapture() override { Record({"release capture", 0, {}}); }
  Point CursorPos() override { return cursor; }
  ShiftState KeyboardShiftState() override { return keys; }

  void PostAnimationTick(TrayWindow window) override {
    {
      std::lock_guard lock(tickMutex_);
      postedTicks_.push_back(window);
    }
    tickPosted_.notify_all();
  }

  // --- driving the windows, as the shell would ---

  [[nodiscard]] bool HasWindow(TrayWindow window) const { return windows_.count(window) != 0; }
  [[nodiscard]] TrayWindow LastWindow() const { return nextWindow_ - 1; }
  void Notify(TrayWindow window, unsigned mouseMessage) {
    if (auto it = windows_.find(window); it != windows_.end() && it->second.OnNotify)
      it->second.OnNotify(mouseMessage);
  }
  // The "TaskbarCreated" broadcast: the new tray is empty.
  void RecreateTaskbar() {
    tray.clear();
    for (auto& [window, events] : windows_)
      if (events.OnTaskbarCreated) events.OnTaskbarCreated();
  }
  // Waits (bounded) until `count` ticks are queued; returns whether they are.
  bool WaitForTicks(std::size_t count, std::chrono::milliseconds limit) {
    std::unique_lock lock(tickMutex_);
    return tickPosted_.wait_for(lock, limit, [&] { return postedTicks_.size() >= count; });
  }
  [[nodiscard]] std::size_t QueuedTicks() {
    std::lock_guard lock(tickMutex_);
    return postedTicks_.size();
  }
  // Delivers the queued ticks on this (the test's user-interface) thread, as
  // the window's message loop would; ticks for destroyed windows are lost.
  std::size_t DeliverTicks() {
    std::vector<TrayWindow> ticks;
    {
      std::lock_guard lock(tickMutex_);
      ticks.swap(postedTicks_);
    }
    for (TrayWindow window : ticks)
      if (auto it = windows_.find(window); it != windows_.end() && it->second.OnAnimationTick)
        it->second.OnAnimationTick();
    return ticks.size();
  }

  // Calls whose `what` is one of the tray commands, in order.
  [[nodiscard]] std::vector<std::string> TrayCommands() const {
    std::vector<std::string> out;
    for (const Call& c : calls)
      if (c.what == "add" || c.what == "modify" || c.what == "delete") out.push_back(c.what);
    return out;
  }
  [[nodiscard]] std::vector<std::string> CallNames() const {
    std::vector<std::string> out;
    for (const Call& c : calls) out.push_back(c.what);
    return out;
  }

 private:
  void Record(Call call) {
    if (shared != nullptr) shared->Add("tray " + call.what);
    calls.push_back(std::move(call));
  }

  std::map<TrayWindow, TrayWindowEvents> windows_;
  TrayWindow nextWindow_ = 0x1000;
  std::mutex tickMutex_;
  std::condition_variable tickPosted_;
  std::vector<TrayWindow> postedTicks_;
};

// A 16-colour icon file with one square image per size given: 16 gives the
// 318-byte single image of the tool icons, {16, 32} the 1078-byte main icon.
// `seed` varies the pixels so that icons can be told apart.
inline std::vector<std::uint8_t> MakeIcoFile(std::initializer_list<int> sizes, std::uint8_t seed = 1) {
  auto put16 = [](std::vector<std::uint8_t>& out, std::size_t at, unsigned v) {
    out[at] = static_cast<std::uint8_t>(v);
    out[at + 1] = static_cast<std::uint8_t>(v >> 8);
  };
  auto put32 = [](std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
  };
  const std::size_t count = sizes.size();
  std::vector<std::uint8_t> out(6 + 16 * count);
  put16(out, 2, 1);
  put16(out, 4, static_cast<unsigned>(count));
  std::size_t entry = 6;
  for (int size : sizes) {
    const auto n = static_cast<std::size_t>(size);
    const std::size_t xorRow = (n / 2 + 3) / 4 * 4;   // 4 bits a pixel
    const std::size_t andRow = (n / 8 + 3) / 4 * 4;   // 1 bit a pixel
    const std::size_t bytes = 40 + 64 + (xorRow + andRow) * n;
    const std::size_t offset = out.size();
    out[entry] = static_cast<std::uint8_t>(size);
    out[entry + 1] = static_cast<std::uint8_t>(size);
    out[entry + 2] = 16;
    put16(out, entry + 4, 1);
    put16(out, entry + 6, 4);
    put32(out, entry + 8, static_cast<std::uint32_t>(bytes));
    put32(out, entry + 12, static_cast<std::uint32_t>(offset));
    entry += 16;

    out.resize(offset + bytes);
    put32(out, offset, 40);                                        // biSize
    put32(out, offset + 4, static_cast<std::uint32_t>(size));      // biWidth
    put32(out, offset + 8, static_cast<std::uint32_t>(2 * size));  // XOR and AND masks
    put16(out, offset + 12, 1);                                    // biPlanes
    put16(out, offset + 14, 4);                                    // biBitCount
    put32(out, offset + 20, static_cast<std::uint32_t>((xorRow + andRow) * n));
    for (std::size_t c = 0; c < 16; ++c) {  // palette: 16 greys, tinted by the seed
      out[offset + 40 + 4 * c] = static_cast<std::uint8_t>(c * 16);
      out[offset + 41 + 4 * c] = static_cast<std::uint8_t>(c * 16 + seed);
      out[offset + 42 + 4 * c] = static_cast<std::uint8_t>(c * 16);
    }
    const std::size_t pixels = offset + 104;
    for (std::size_t i = 0; i < xorRow * n; ++i) out[pixels + i] = static_cast<std::uint8_t>(i * seed + seed);
    // The AND mask stays 0: every pixel opaque.
  }
  return out;
}

inline TIcon MakeIcon(std::uint8_t seed = 1) { return TIcon(MakeIcoFile({16}, seed)); }

}  // namespace tw::fakes
