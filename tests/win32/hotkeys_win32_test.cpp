// Hot keys registered with the system for a test window, and WM_HOTKEY
// reaching the window's handler.
#include "app/hotkeys.h"
#include "platform/win32/hotkeys_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

namespace tw::win32 {
namespace {

// A hidden top-level window that, like the host, turns WM_HOTKEY into a tool
// start (here: a record of the tool).
class HotKeyWindow {
 public:
  HotKeyWindow() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &HotKeyWindow::Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kClass;
    RegisterClassW(&wc);  // fails harmlessly when a previous test registered it
    window_ = CreateWindowExW(0, kClass, L"Tarnwick hot-key test", WS_POPUP, 0, 0, 10, 10, nullptr,
                              nullptr, wc.hInstance, nullptr);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~HotKeyWindow() {
    if (window_ != nullptr) DestroyWindow(window_);
  }
  HotKeyWindow(const HotKeyWindow&) = delete;
  HotKeyWindow& operator=(const HotKeyWindow&) = delete;

  [[nodiscard]] HWND get() const { return window_; }

  // Handles messages until one more tool start arrived or `ms` passed.
  bool WaitForStart(DWORD ms) {
    const std::size_t before = started.size();
    const ULONGLONG end = GetTickCount64() + ms;
    while (started.size() == before && GetTickCount64() < end) {
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
      if (started.size() == before) MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return started.size() > before;
  }

  std::vector<int> started;
  int ignored = 0;

 private:
  static constexpr const wchar_t* kClass = L"TarnwickHotKeyTestWindow";

  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_HOTKEY) {
      auto* self = reinterpret_cast<HotKeyWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
      if (self != nullptr) {
        if (const auto tool = ToolFromHotKeyId(wParam))
          self->started.push_back(*tool);
        else
          ++self->ignored;
      }
      return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }

  HWND window_ = nullptr;
};

void PressCtrlAlt(WORD key) {
  const WORD keys[] = {VK_CONTROL, VK_MENU, key};
  std::vector<INPUT> inputs;
  for (const WORD vk : keys) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    inputs.push_back(in);
  }
  for (int i = 2; i >= 0; --i) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = keys[i];
    in.ki.dwFlags = KEYEVENTF_KEYUP;
    inputs.push_back(in);
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

TEST(HotKeyWin32Test, ARegisteredCombinationIsTakenOnceAndFreedAgain) {
  HotKeyWindow window;
  ASSERT_NE(window.get(), nullptr);
  Win32HotKeyPort port(window.get());

  EXPECT_TRUE(port.RegisterHotKey(1, kModControl | kModAlt | kModShift, 'Q'));
  EXPECT_FALSE(port.RegisterHotKey(3, kModControl | kModAlt | kModShift, 'Q'));  // taken by id 1
  port.UnregisterHotKey(1);
  EXPECT_TRUE(port.RegisterHotKey(3, kModControl | kModAlt | kModShift, 'Q'));
  UnregisterHotKeys(port);
  EXPECT_TRUE(port.RegisterHotKey(0, kModControl | kModAlt | kModShift, 'Q'));
  UnregisterHotKeys(port);
}

TEST(HotKeyWin32Test, AKeyPressReachesTheHandlerWithTheToolsId) {
  HotKeyWindow window;
  ASSERT_NE(window.get(), nullptr);
  Win32HotKeyPort port(window.get());
  TSettings settings;
  settings.MeasurerKey = 0xC051;  // Ctrl+Alt+Q
  RegisterHotKeys(port, settings);

  // Wine delivers hot keys from injected input as Windows does, so this is
  // a real press, not a posted message.
  PressCtrlAlt('Q');
  ASSERT_TRUE(window.WaitForStart(2000));
  EXPECT_EQ(window.started, std::vector<int>{2});

  UnregisterHotKeys(port);
  PressCtrlAlt('Q');
  EXPECT_FALSE(window.WaitForStart(300));
}

TEST(HotKeyWin32Test, TheHandlerIgnoresIdsOutsideTheTools) {
  HotKeyWindow window;
  ASSERT_NE(window.get(), nullptr);
  // Ids no registration of ours produces, as another part of the system
  // might post them.
  PostMessageW(window.get(), WM_HOTKEY, 4, 0);
  PostMessageW(window.get(), WM_HOTKEY, static_cast<WPARAM>(-1), 0);
  PostMessageW(window.get(), WM_HOTKEY, 0, 0);
  ASSERT_TRUE(window.WaitForStart(1000));
  EXPECT_EQ(window.started, std::vector<int>{0});
  EXPECT_EQ(window.ignored, 2);
}

}  // namespace
}  // namespace tw::win32
