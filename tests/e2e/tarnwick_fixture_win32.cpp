#include "e2e/tarnwick_fixture_win32.h"

#include <cstdio>

namespace e2e {

namespace {
// Wine starts explorer, the desktop and the task bar along with the first
// program, and two cases share the machine's two cores: generous limits for
// the start.
constexpr Millis kStartLimit = 30s;

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
}  // namespace

void TarnwickTest::SetUp() { ASSERT_NO_FATAL_FAILURE(Launch(true, L"")); }

void TarnwickTest::Launch(bool earlierStart, const std::wstring& commandTail) {
  const std::wstring exe = exe_.empty() ? TarnwickExePath() : exe_;
  ASSERT_TRUE(FileExists(exe)) << "Tarnwick.exe not found at " << Narrow(exe);
  std::string error;
  if (earlierStart) {
    ASSERT_TRUE(RecordEarlierStart(&error)) << error;
  }
  // Wine now and then fails to start a process at all: CreateProcess fails
  // with ERROR_INTERNAL_ERROR, or the new process ends with exit code 1
  // before its tray icon shows, having shown nothing (the program's own
  // fatal errors wait in a message box). Such a start is tried again, twice at most.
  for (int attempt = 1;; ++attempt) {
    const bool started = tarnwick_.Start(exe, commandTail, &error);
    bool wineFailed = !started && tarnwick_.StartError() == ERROR_INTERNAL_ERROR;
    if (started) {
      WaitUntil([&] { return !tarnwick_.Running() || !TrayIconSlots().empty(); }, kStartLimit, 100ms);
      wineFailed = !tarnwick_.Running() && tarnwick_.WaitForExit(0ms) == DWORD{1};
    }
    if (!wineFailed || attempt == 3) {
      ASSERT_TRUE(started) << error;
      break;
    }
    std::printf("Wine did not start Tarnwick.exe (attempt %d: %s); trying again\n", attempt,
                started ? "exit code 1 before any icon" : error.c_str());
  }
  ASSERT_NO_FATAL_FAILURE(WaitForMainIcon());
}

std::optional<DWORD> TarnwickTest::StartSecondCopy(const std::wstring& commandTail) {
  Process second;
  // Exit code 1 at once is Wine failing to start it, as in Launch.
  std::optional<DWORD> code = 1;
  for (int attempt = 0; attempt < 3 && code == DWORD{1}; ++attempt)
    code = second.Start(TarnwickExePath(), commandTail, nullptr) ? second.WaitForExit(kStartLimit) : DWORD{1};
  return code;
}

void TarnwickTest::EndTheSession() {
  const auto windows = TopLevelWindows(Pid());
  for (const UINT msg : {WM_QUERYENDSESSION, WM_ENDSESSION})
    for (const auto& w : windows) {
      DWORD_PTR answer = FALSE;
      const LRESULT sent =
          SendMessageTimeoutW(w.hwnd, msg, msg == WM_ENDSESSION, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000, &answer);
      EXPECT_TRUE(msg == WM_ENDSESSION || (sent != 0 && answer == TRUE)) << w.Describe();
    }
  EXPECT_EQ(tarnwick_.WaitForExit(kReactionLimit), std::optional<DWORD>(0)) << Seen();
  EXPECT_TRUE(WaitUntil([] { return TrayIcons().empty(); }, kReactionLimit)) << Describe(TrayIcons());
}

void TarnwickTest::WaitForMainIcon() {
  bool iconsShown = WaitUntil([&] { return !tarnwick_.Running() || !TrayIconSlots().empty(); }, kStartLimit, 100ms);
  if (!tarnwick_.Running()) {
    const auto code = tarnwick_.WaitForExit(0ms);
    FAIL() << "Tarnwick.exe ended during its start with exit code " << Hex(code.value_or(0));
  }
  ASSERT_TRUE(iconsShown) << "no icon appeared in the tray within " << kStartLimit.count() << " ms; " << Seen();
  // Its icons may come one by one: look until the main one is there.
  std::vector<TrayIcon> icons;
  const bool found = WaitUntil(
      [&] {
        icons = TrayIcons();
        for (const auto& icon : icons) {
          if (icon.tip == kMainTip) {
            mainIcon_ = icon.slot;
            return true;
          }
        }
        return false;
      },
      10s, 200ms);
  ASSERT_TRUE(found) << "no tray icon with the tip \"Tarnwick\"; " << Describe(icons);
}

void TarnwickTest::TearDown() {
  if (HasFailure()) {
    // What the screen showed when the case failed, for a look afterwards.
    const std::wstring folder = OwnFolder() + L"..\\e2e-failures\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::wstring path = folder + Widen(info->test_suite_name()) + L"." + Widen(info->name()) + L".bmp";
    if (ScreenShot::TakeAll().SaveBmp(path)) std::printf("screen at the failure: %s\n", Narrow(path).c_str());
  }
  tarnwick_.Kill();
}

void TarnwickTest::OpenTrayMenu(bool rightClick, WindowInfo* menu) {
  // Two clicks on the icon within the double-click time reach the program
  // as a double click, which opens no menu: a case that ends a run quickly
  // and opens the menu again must let that time pass first.
  const auto sinceLast = std::chrono::steady_clock::now() - lastTrayClick_;
  const Millis doubleClick(GetDoubleClickTime() + 50);
  if (sinceLast < doubleClick) Pause(std::chrono::duration_cast<Millis>(doubleClick - sinceLast));
  std::string error;
  ASSERT_TRUE(Click(Centre(mainIcon_), rightClick, &error)) << error;
  lastTrayClick_ = std::chrono::steady_clock::now();
  std::optional<WindowInfo> shown;
  const bool opened = WaitUntil(
      [&] {
        shown = VisiblePopupMenu(Pid());
        return shown.has_value();
      },
      kReactionLimit);
  ASSERT_TRUE(opened) << "no popup menu (class #32768) of Tarnwick.exe appeared within " << kReactionLimit.count()
                      << " ms of a " << (rightClick ? "right" : "left") << " click on the main tray icon at "
                      << Describe(mainIcon_) << "; " << Seen();
  *menu = *shown;
}

void TarnwickTest::ReadMenu(const WindowInfo& menu, std::vector<MenuItem>* items) {
  std::string error;
  auto read = ReadPopupMenu(tarnwick_.Get(), menu.hwnd, &error);
  ASSERT_TRUE(read.has_value()) << "cannot read the items of " << menu.Describe() << ": " << error;
  *items = std::move(*read);
}

void TarnwickTest::WaitForMenuClosed() {
  ASSERT_TRUE(WaitUntil([&] { return !VisiblePopupMenu(Pid()); }, kReactionLimit))
      << "the popup menu is still open after " << kReactionLimit.count() << " ms; " << Seen();
}

void TarnwickTest::ChooseFromTrayMenu(WORD key) {
  WindowInfo menu;
  ASSERT_NO_FATAL_FAILURE(OpenTrayMenu(false, &menu));
  PressKey(key);
  ASSERT_NO_FATAL_FAILURE(WaitForMenuClosed());
}

std::optional<WindowInfo> TarnwickTest::Host() const {
  return FindTopLevelWindow(Pid(), [](const WindowInfo& w) { return w.title == kHostCaption; });
}

bool TarnwickTest::HostShown() const {
  const auto host = Host();
  return host && host->visible;
}

void TarnwickTest::WaitForHostShown(WindowInfo* host) {
  const RECT screen = ScreenRect();
  std::optional<WindowInfo> seen;
  const bool shown = WaitUntil(
      [&] {
        seen = Host();
        return seen && seen->visible && SameRect(seen->rect, screen);
      },
      kReactionLimit);
  ASSERT_TRUE(shown) << "the host window (caption \"Velmora Tarnwick\") was not shown over the whole screen "
                     << Describe(screen) << " within " << kReactionLimit.count() << " ms; " << Seen();
  *host = *seen;
  // The run takes the keyboard: keys pressed from now on reach the host.
  ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == host->hwnd; }, kReactionLimit))
      << "the host is shown but is not the foreground window; " << Seen();
}

void TarnwickTest::WaitForHostHidden() {
  ASSERT_TRUE(WaitUntil([&] { return !HostShown(); }, kReactionLimit))
      << "the host window is still shown after " << kReactionLimit.count() << " ms; " << Seen();
}

void TarnwickTest::StartScreenshotRun(WindowInfo* host) {
  ASSERT_NO_FATAL_FAILURE(ChooseFromTrayMenu('S'));
  ASSERT_NO_FATAL_FAILURE(WaitForHostShown(host));
}

std::vector<RECT> TarnwickTest::OtherVisibleWindows(HWND except) const {
  std::vector<RECT> rects;
  for (const auto& w : VisibleTopLevelWindows(Pid()))
    if (w.hwnd != except) rects.push_back(w.rect);
  return rects;
}

std::string TarnwickTest::Seen() const {
  std::string out;
  if (!tarnwick_.Running()) {
    const auto code = tarnwick_.WaitForExit(0ms);
    out += "Tarnwick.exe has ended (exit code " + Hex(code.value_or(0)) + "); ";
  }
  if (Pid() != 0) out += "windows of Tarnwick.exe:" + Describe(TopLevelWindows(Pid()));
  HWND foreground = GetForegroundWindow();
  out += "\n  foreground: " + (foreground ? Inspect(foreground).Describe() : std::string("none"));
  return out;
}

}  // namespace e2e
