#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "platform/menu.h"
#include "app/trayicon/trayicon.h"
#include "app/trayicon/trayicon_win32.h"
#include "fakes/fake_tray.h"
#include "platform/win32/handles.h"
#include "win32/window_support.h"

namespace tw {
namespace {

using fakes::MakeIcoFile;

class NoMenus : public IMenuPort {
 public:
  int shown = 0;
  int PopupMenu(const TPopupMenu&, Point) override {
    ++shown;
    return -1;
  }
  void EndMenu() override {}
};

class QuietApp : public IApplicationPort {
 public:
  std::vector<std::string> errors;
  void ProcessMessages() override {}
  void Terminate() override {}
  bool Terminated() override { return false; }
  void Beep() override {}
  void ShowError(const std::string& message) override { errors.push_back(message); }
  std::string ProgramPath() override { return {}; }
  std::string DecimalSeparator() override { return "."; }
  std::vector<std::uint8_t> LoadResourceData(const std::string&) override { return {}; }
};

// Passes every call on to the real port and counts the tray commands, so a
// test sees what the icon asked even where Wine's shell is lenient.
class CountingPort : public ITrayPort {
 public:
  explicit CountingPort(Win32TrayPort& real) : real_(real) {}
  int adds = 0, modifies = 0, deletes = 0;
  TrayWindow CreateNotifyWindow(TrayWindowEvents events) override { return real_.CreateNotifyWindow(std::move(events)); }
  void DestroyNotifyWindow(TrayWindow window) override { real_.DestroyNotifyWindow(window); }
  bool NotifyIcon(TrayCommand command, const TrayIconRecord& record) override {
    (command == TrayCommand::Add ? adds : command == TrayCommand::Modify ? modifies : deletes)++;
    return real_.NotifyIcon(command, record);
  }
  bool IsWindowEnabled(TrayWindow window) override { return real_.IsWindowEnabled(window); }
  void SetForegroundWindow(TrayWindow window) override { real_.SetForegroundWindow(window); }
  void ReleaseCapture() override { real_.ReleaseCapture(); }
  Point CursorPos() override { return real_.CursorPos(); }
  ShiftState KeyboardShiftState() override { return real_.KeyboardShiftState(); }
  void PostAnimationTick(TrayWindow window) override { real_.PostAnimationTick(window); }

 private:
  Win32TrayPort& real_;
};

Size IconSize(HICON icon) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return {};
  win32::UniqueBitmap color(info.hbmColor);
  win32::UniqueBitmap mask(info.hbmMask);
  BITMAP bm{};
  GetObjectW(color ? color.get() : mask.get(), sizeof bm, &bm);
  return {bm.bmWidth, color ? bm.bmHeight : bm.bmHeight / 2};
}

// Handles posted messages until `done` holds or two seconds pass.
template <typename Done>
bool PumpUntil(Done done) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    win32::testing::DispatchPending();
    Sleep(1);
  }
  return true;
}

TEST(TrayWin32Icon, PrefersTheSmallImage) {
  const auto main = MakeIcoFile({16, 32}, 3);
  win32::UniqueIcon icon = MakeSmallIcon(main);
  ASSERT_TRUE(icon);
  EXPECT_EQ(IconSize(icon.get()), (Size{16, 16}));

  const auto large = MakeIcoFile({32}, 3);
  win32::UniqueIcon scaled = MakeSmallIcon(large);
  ASSERT_TRUE(scaled);
  EXPECT_EQ(IconSize(scaled.get()), (Size{16, 16}));

  const std::vector<std::uint8_t> junk(318, 0x55);
  EXPECT_FALSE(MakeSmallIcon(junk));
  EXPECT_FALSE(MakeSmallIcon({}));
}

TEST(TrayWin32Tip, CutTo63Utf16Units) {
  EXPECT_EQ(TrayTipToUtf16("Magnifier"), L"Magnifier");
  EXPECT_EQ(TrayTipToUtf16(std::string(70, 'x')), std::wstring(63, L'x'));
  // U+1F600 takes units 63 and 64: the pair goes whole.
  EXPECT_EQ(TrayTipToUtf16(std::string(62, 'a') + "\xF0\x9F\x98\x80"), std::wstring(62, L'a'));
  EXPECT_EQ(TrayTipToUtf16("Me\xC3\x9F" "band"), L"Me\u00DFband");
}

class TrayWin32Test : public ::testing::Test {
 protected:
  Win32TrayPort real{GetModuleHandleW(nullptr)};
  CountingPort port{real};
  NoMenus menus;
  QuietApp app;

  TrayWindow OnlyWindow() const {
    const auto windows = real.Windows();
    return windows.size() == 1 ? windows.front() : 0;
  }
  HWND Hwnd() const { return Win32TrayPort::ToHwnd(OnlyWindow()); }
};

TEST_F(TrayWin32Test, WindowIsAHiddenTopLevelWindow) {
  TTrayIcon icon(port, menus, app);
  const HWND hwnd = Hwnd();
  ASSERT_TRUE(IsWindow(hwnd));
  EXPECT_FALSE(IsWindowVisible(hwnd));
  // A message-only window would have HWND_MESSAGE's window as its parent.
  EXPECT_EQ(GetAncestor(hwnd, GA_PARENT), GetDesktopWindow());
  EXPECT_TRUE(port.IsWindowEnabled(OnlyWindow()));
}

TEST_F(TrayWin32Test, AddsModifiesAndDeletes) {
  auto icon = std::make_unique<TTrayIcon>(port, menus, app);
  const TrayWindow window = OnlyWindow();
  icon->SetActive(false);
  icon->SetHint("Magnifier");
  icon->SetIcon(TIcon(MakeIcoFile({16}, 1)));
  icon->Loaded();
  EXPECT_FALSE(icon->Added());
  EXPECT_EQ(real.IconHandle(window), nullptr);

  icon->SetActive(true);
  ASSERT_TRUE(icon->Added()) << "the shell refused NIM_ADD";
  const HICON first = real.IconHandle(window);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(IconSize(first), (Size{16, 16}));

  const int addsBefore = port.adds;
  icon->SetIcon(TIcon(MakeIcoFile({16, 32}, 2)));
  EXPECT_TRUE(icon->Added());
  EXPECT_EQ(port.adds, addsBefore) << "changed in place";
  const HICON second = real.IconHandle(window);
  ASSERT_NE(second, nullptr);
  EXPECT_NE(second, first);

  icon->SetHint(std::string(100, 'h'));  // same picture: the handle is kept
  EXPECT_EQ(real.IconHandle(window), second);

  icon->SetActive(false);
  EXPECT_FALSE(icon->Added());
  EXPECT_EQ(real.IconHandle(window), nullptr);

  icon->SetActive(true);
  ASSERT_TRUE(icon->Added());
  const HWND hwnd = Hwnd();
  icon.reset();
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_TRUE(real.Windows().empty());
}

TEST_F(TrayWin32Test, PortCallsReportTheShellsAnswer) {
  TrayIconRecord record;
  record.window = real.CreateNotifyWindow({});
  ASSERT_NE(record.window, 0u);
  record.icon = TIcon(MakeIcoFile({16}, 4));
  record.tip = "Dropper";
  EXPECT_TRUE(real.NotifyIcon(TrayCommand::Add, record));
  EXPECT_NE(real.IconHandle(record.window), nullptr);
  EXPECT_TRUE(real.NotifyIcon(TrayCommand::Modify, record));
  EXPECT_TRUE(real.NotifyIcon(TrayCommand::Delete, record));
  EXPECT_EQ(real.IconHandle(record.window), nullptr);

  TrayIconRecord notAnIcon = record;
  notAnIcon.icon = TIcon(std::vector<std::uint8_t>(40, 1));
  EXPECT_FALSE(real.NotifyIcon(TrayCommand::Add, notAnIcon));
  EXPECT_EQ(real.IconHandle(record.window), nullptr);

  TrayIconRecord unknown = record;
  unknown.window = 12345;
  EXPECT_FALSE(real.NotifyIcon(TrayCommand::Add, unknown));
  real.DestroyNotifyWindow(record.window);
}

TEST_F(TrayWin32Test, CallbackMessageReachesTheIcon) {
  TTrayIcon icon(port, menus, app);
  std::vector<std::string> events;
  icon.OnClick = [&](TTrayIcon&) { events.push_back("click"); };
  icon.OnMouseUp = [&](TTrayIcon&, MouseButton b, ShiftState s, int, int) {
    events.push_back(std::string("up ") + (b == MouseButton::Left ? "L" : "R") +
                     ((s & kLeftButton) != 0 ? " left" : ""));
  };
  TPopupMenu menu;
  menu.Name = "pmnTray";
  icon.SetPopupMenu(&menu);
  icon.SetIcon(TIcon(MakeIcoFile({16}, 1)));
  icon.Loaded();
  ASSERT_TRUE(icon.Added());

  SendMessageW(Hwnd(), kTrayCallbackMessage, 0, WM_LBUTTONDOWN);
  SendMessageW(Hwnd(), kTrayCallbackMessage, 0, WM_LBUTTONUP);
  EXPECT_EQ(events, (std::vector<std::string>{"click", "up L left"}));

  events.clear();
  SendMessageW(Hwnd(), kTrayCallbackMessage, 0, WM_RBUTTONDOWN);
  SendMessageW(Hwnd(), kTrayCallbackMessage, 0, WM_RBUTTONUP);
  EXPECT_EQ(menus.shown, 1);
  EXPECT_EQ(events, (std::vector<std::string>{"up R"}));
  EXPECT_TRUE(app.errors.empty());
}

TEST_F(TrayWin32Test, AWindowDestroyedByItsOwnHandlerGoesAfterTheHandler) {
  // What an icon freed from its own tray event does to its window.
  auto existedDuringTheHandler = std::make_shared<bool>(false);
  auto window = std::make_shared<TrayWindow>(0);
  TrayWindowEvents events;
  events.OnNotify = [this, window, existedDuringTheHandler](unsigned) {
    real.DestroyNotifyWindow(*window);
    *existedDuringTheHandler = IsWindow(Win32TrayPort::ToHwnd(*window)) != FALSE;
  };
  *window = real.CreateNotifyWindow(std::move(events));
  ASSERT_NE(*window, 0u);
  const HWND hwnd = Win32TrayPort::ToHwnd(*window);
  SendMessageW(hwnd, kTrayCallbackMessage, 0, WM_LBUTTONUP);
  EXPECT_TRUE(*existedDuringTheHandler) << "destroyed under its own handler";
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_TRUE(real.Windows().empty());
}

TEST_F(TrayWin32Test, TaskbarCreatedBroadcastAddsActiveIconsAgain) {
  TTrayIcon shown(port, menus, app);
  shown.SetIcon(TIcon(MakeIcoFile({16}, 1)));
  shown.Loaded();
  ASSERT_TRUE(shown.Added());
  TTrayIcon hidden(port, menus, app);
  hidden.SetActive(false);
  hidden.SetIcon(TIcon(MakeIcoFile({16}, 2)));

  const int addsBefore = port.adds;
  DWORD_PTR result = 0;
  SendMessageTimeoutW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0, SMTO_ABORTIFHUNG, 2000,
                      &result);
  EXPECT_EQ(port.adds, addsBefore + 1) << "only the active icon";
  EXPECT_TRUE(shown.Added());
  EXPECT_FALSE(hidden.Added());
}

TEST_F(TrayWin32Test, AnimationTicksArriveAsMessages) {
  TTrayIcon icon(port, menus, app);
  icon.Icons().Add(TIcon(MakeIcoFile({16}, 1)));
  icon.Icons().Add(TIcon(MakeIcoFile({16}, 2)));
  icon.SetIcon(icon.Icons()[0]);
  icon.Loaded();
  ASSERT_TRUE(icon.Added());
  icon.SetInterval(5);
  icon.SetAnimated(true);
  const int before = port.modifies;
  EXPECT_TRUE(PumpUntil([&] { return port.modifies >= before + 3; })) << "no frames within 2 s";
  icon.SetAnimated(false);
  EXPECT_TRUE(icon.Added());
}

}  // namespace
}  // namespace tw
