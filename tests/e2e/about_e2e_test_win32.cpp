// The About box and the welcome as a user meets them: the box from the tray
// menu with the tools greyed meanwhile, a hot-key run over it, the welcome
// at the first start or with "/F", and what follows it.
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <utility>

#include "app/about/about.h"
#include "e2e/dialog_view_win32.h"
#include "e2e/tarnwick_fixture_win32.h"
#include "e2e/test_picture_win32.h"

namespace e2e {
namespace {

constexpr wchar_t kOptionsKey[] = L"SOFTWARE\\Velmora\\Tarnwick\\Options";
constexpr wchar_t kPreferences[] = L"Tarnwick Preferences";
constexpr COLORREF kBand = 0xC0DCC0;

constexpr wchar_t kWelcomeText[] =
    L"Tarnwick defaults to a single tray icon, which can be right-clicked to activate any of these utilities."
    L"\r\n\r\nIf you are doing intensive screen work, Tarnwick can display separate icons for any or all of the "
    L"separate utilities - allowing quick access with a single click."
    L"\r\n\r\nAny of these separated icons can be right-clicked to reveal the complete Tarnwick menu.";

class BrandDialogs : public TarnwickTest {
 protected:
  void SetUp() override {}

  // A visible top-level window of Tarnwick.exe with this caption.
  void WaitForWindow(const wchar_t* caption, WindowInfo* found) {
    std::optional<WindowInfo> w;
    ASSERT_TRUE(WaitUntil(
        [&] { return (w = FindTopLevelWindow(Pid(), [&](const WindowInfo& i) { return i.visible && i.title == caption; })).has_value(); },
        kReactionLimit))
        << "no window \"" << Narrow(caption) << "\"; " << Seen();
    *found = *w;
  }
  void WaitForClosed(HWND window) {
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(window) == FALSE; }, kReactionLimit)) << Seen();
  }
  void WaitForForeground(HWND window) {
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == window; }, kReactionLimit)) << Seen();
  }
  void ClickOk(HWND dialog) {
    const auto controls = ChildControls(dialog);
    const ChildControl* ok = ControlWithText(controls, L"OK");
    ASSERT_NE(ok, nullptr) << Describe(controls);
    std::string error;
    ASSERT_TRUE(Click(Centre(ok->rect), false, &error)) << error;
    ASSERT_NO_FATAL_FAILURE(WaitForClosed(dialog));
  }

  // The client area's left 65 pixels, top to bottom, in the pale green,
  // and the pixel beside them not.
  static bool BandShown(HWND dialog) {
    const RECT c = ClientRectOnScreen(dialog);
    const ScreenShot shot = ScreenShot::Take(c);
    return shot.Valid() && shot.At(c.left, c.top) == kBand && shot.At(c.left + 64, c.bottom - 1) == kBand &&
           shot.At(c.left + 65, c.top + 4) != kBand;
  }

  // The picture for the README: the whole dialog, frame and caption.
  static void SavePicture(HWND dialog, const wchar_t* name) {
    RECT frame{};
    GetWindowRect(dialog, &frame);
    std::string error;
    EXPECT_TRUE(SavePng(ScreenShot::Take(frame), DocumentationPicture(name), &error)) << error;
  }

  void ExpectTrayItems(bool toolsEnabled) {
    WindowInfo menu;
    ASSERT_NO_FATAL_FAILURE(OpenTrayMenu(false, &menu));
    std::vector<MenuItem> items;
    ASSERT_NO_FATAL_FAILURE(ReadMenu(menu, &items));
    PressKey(VK_ESCAPE);
    ASSERT_NO_FATAL_FAILURE(WaitForMenuClosed());
    for (const auto& item : items) {
      if (item.Separator()) continue;
      EXPECT_EQ(item.Enabled(), toolsEnabled || item.Caption() == L"E&xit") << Narrow(item.Caption());
    }
  }

  void OpenAbout(WindowInfo* about) {
    ASSERT_NO_FATAL_FAILURE(ChooseFromTrayMenu('A'));
    ASSERT_NO_FATAL_FAILURE(WaitForWindow(L"About", about));
  }
};

using AboutBox = BrandDialogs;

TEST_F(AboutBox, OpensFromTheTrayWithTheToolsGreyAndOkGivesThemBack) {
  ASSERT_NO_FATAL_FAILURE(Launch(true, L""));
  WindowInfo about;
  ASSERT_NO_FATAL_FAILURE(OpenAbout(&about));
  // Owned by the hidden application window: no task bar button.
  const HWND owner = GetWindow(about.hwnd, GW_OWNER);
  EXPECT_TRUE(owner != nullptr && IsWindowVisible(owner) == FALSE) << Seen();
  EXPECT_EQ(about.exStyle & WS_EX_APPWINDOW, 0);
  const RECT client = ClientRectOnScreen(about.hwnd), screen = ScreenRect();
  EXPECT_EQ(client.right - client.left, 376);
  EXPECT_EQ(client.bottom - client.top, 217);
  EXPECT_LE(std::abs(about.rect.left + about.rect.right - screen.right), 1) << about.Describe();
  EXPECT_LE(std::abs(about.rect.top + about.rect.bottom - screen.bottom), 1) << about.Describe();
  const auto controls = ChildControls(about.hwnd);
  for (const wchar_t* text : {L"Tarnwick", L"version 1.6", L"https://tarnwick.example/"})
    EXPECT_NE(ControlWithText(controls, text), nullptr) << Narrow(text) << Describe(controls);
  ASSERT_TRUE(WaitUntil([&] { return BandShown(about.hwnd); }, kReactionLimit)) << Seen();
  // The program icon at (16, 16): its green square and white mark.
  const ScreenShot icon = ScreenShot::Take({client.left + 16, client.top + 16, client.left + 48, client.top + 48});
  int green = 0, white = 0;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      const COLORREF c = icon.At(client.left + 16 + x, client.top + 16 + y);
      green += c == RGB(0, 128, 0) ? 1 : 0;
      white += c == RGB(255, 255, 255) ? 1 : 0;
    }
  EXPECT_GE(green, 700) << "white " << white;
  EXPECT_GE(white, 150) << "green " << green;
  SavePicture(about.hwnd, L"about.png");

  EXPECT_TRUE(WaitUntil([&] { return CountIconColours(mainIcon_).green == 0; }, kReactionLimit))
      << "the main icon is not grey";
  ASSERT_NO_FATAL_FAILURE(ExpectTrayItems(false));
  ASSERT_NO_FATAL_FAILURE(ClickOk(about.hwnd));
  EXPECT_TRUE(WaitUntil([&] { return CountIconColours(mainIcon_).green >= 100; }, kReactionLimit))
      << "the main icon is not green again";
  ASSERT_NO_FATAL_FAILURE(ExpectTrayItems(true));
  EXPECT_TRUE(VisibleTopLevelWindows(Pid()).empty()) << Seen();
}

TEST_F(AboutBox, ExitWhileItIsOpenEndsTheProgramAndSavesNothing) {
  ASSERT_NO_FATAL_FAILURE(Launch(true, L""));
  WindowInfo about;
  ASSERT_NO_FATAL_FAILURE(OpenAbout(&about));
  const auto before = RegistryValueNames(kOptionsKey);
  ASSERT_NO_FATAL_FAILURE(ChooseFromTrayMenu('X'));
  EXPECT_EQ(tarnwick_.WaitForExit(10s), std::optional<DWORD>(0)) << Seen();
  EXPECT_EQ(RegistryValueNames(kOptionsKey), before);
}

// The lens's one-pixel black frame, 100 x 100 inside it, around `at`.
bool LensFrameShown(POINT at) {
  const ScreenShot shot = ScreenShot::TakeAll();
  const int left = at.x - 51, top = at.y - 51;
  for (int i = 0; i <= 101; ++i)
    if (shot.At(left + i, top) != 0 || shot.At(left + i, top + 101) != 0 || shot.At(left, top + i) != 0 ||
        shot.At(left + 101, top + i) != 0)
      return false;
  return true;
}

TEST_F(AboutBox, AMagnifierHotKeyRunOverItIsDrawnAtOnceAndAClickEndsIt) {
  std::string error;
  for (const auto& [name, text] : {std::pair{L"MagnifierKey", L"49229"},  // Ctrl+Alt+M
                                   std::pair{L"ZoomWidth", L"100"}, std::pair{L"ZoomHeight", L"100"}})
    ASSERT_TRUE(WriteRegistryText(kOptionsKey, name, text, &error)) << error;
  ASSERT_NO_FATAL_FAILURE(Launch(true, L""));
  // A known picture left of the box, with no black frame in it.
  TestPicture picture(RECT{40, 100, 260, 300}, 2);
  ASSERT_TRUE(WaitUntil([&] { return picture.OnScreen(2); }, 5s));
  WindowInfo about;
  ASSERT_NO_FATAL_FAILURE(OpenAbout(&about));
  // Right after a popup menu Wine may refuse to move the pointer for a
  // while: the move is tried until it is done.
  const POINT at{150, 200};
  ASSERT_TRUE(WaitUntil([&] { return MoveMouse(at, &error); }, 15s, 200ms)) << error;
  ASSERT_FALSE(LensFrameShown(at));

  PressKeys({VK_CONTROL, VK_MENU, 'M'});
  WindowInfo host;
  ASSERT_NO_FATAL_FAILURE(WaitForHostShown(&host));
  // No mouse move: only the idle moment of the box's modal loop draws it.
  EXPECT_TRUE(WaitUntil([&] { return LensFrameShown(at); }, kReactionLimit)) << "no lens around the cursor";
  ClickHere();
  ASSERT_NO_FATAL_FAILURE(WaitForHostHidden());
  ASSERT_TRUE(WaitUntil([&] { return BandShown(about.hwnd); }, kReactionLimit))
      << "the About box is not there after the run; " << Seen();
  ASSERT_NO_FATAL_FAILURE(WaitForForeground(about.hwnd));  // the keyboard is back where it was
  ASSERT_NO_FATAL_FAILURE(ClickOk(about.hwnd));
  EXPECT_TRUE(tarnwick_.Running()) << Seen();
}

using Welcome = BrandDialogs;

// A pixel of the caption bar, midway along it.
COLORREF CaptionColour(HWND window) {
  RECT f{};
  GetWindowRect(window, &f);
  const POINT p{(f.left + f.right) / 2, f.top + GetSystemMetrics(SM_CYFIXEDFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2};
  const ScreenShot shot = ScreenShot::Take({p.x, p.y, p.x + 1, p.y + 1});
  return shot.Valid() ? shot.At(p.x, p.y) : CLR_INVALID;
}

TEST_F(Welcome, AFirstStartShowsItAndClosingItOpensPreferences) {
  ASSERT_NO_FATAL_FAILURE(Launch(false, L""));
  WindowInfo welcome;
  ASSERT_NO_FATAL_FAILURE(WaitForWindow(L"Welcome!", &welcome));
  ASSERT_NO_FATAL_FAILURE(WaitForForeground(welcome.hwnd));
  // Active too, as the user sees it (without the program taking the
  // foreground first, Wine shows the caption inactive).
  EXPECT_TRUE(WaitUntil([&] { return CaptionColour(welcome.hwnd) == GetSysColor(COLOR_ACTIVECAPTION); },
                        kReactionLimit))
      << "caption " << Hex(CaptionColour(welcome.hwnd)) << ", active " << Hex(GetSysColor(COLOR_ACTIVECAPTION));
  const RECT client = ClientRectOnScreen(welcome.hwnd);
  EXPECT_EQ(client.right - client.left, 451);
  EXPECT_EQ(client.bottom - client.top, 289);
  const auto controls = ChildControls(welcome.hwnd);
  const ChildControl* text = ControlWithId(controls, tw::BrandControlId(tw::FirstRunControl::Label1));
  ASSERT_NE(text, nullptr) << Describe(controls);
  EXPECT_EQ(text->text, kWelcomeText);
  EXPECT_EQ(text->rect.left - client.left, 88);
  EXPECT_EQ(text->rect.top - client.top, 80);
  ASSERT_TRUE(WaitUntil([&] { return BandShown(welcome.hwnd); }, kReactionLimit)) << Seen();
  SavePicture(welcome.hwnd, L"welcome.png");

  ASSERT_NO_FATAL_FAILURE(ClickOk(welcome.hwnd));
  WindowInfo preferences;
  ASSERT_NO_FATAL_FAILURE(WaitForWindow(kPreferences, &preferences));
}

TEST_F(Welcome, EscapeThroughItAndPreferencesWritesNoOption) {
  ASSERT_NO_FATAL_FAILURE(Launch(false, L""));
  WindowInfo welcome, preferences;
  ASSERT_NO_FATAL_FAILURE(WaitForWindow(L"Welcome!", &welcome));
  const auto before = RegistryValueNames(kOptionsKey);
  ASSERT_NO_FATAL_FAILURE(WaitForForeground(welcome.hwnd));
  PressKey(VK_ESCAPE);
  ASSERT_NO_FATAL_FAILURE(WaitForClosed(welcome.hwnd));
  ASSERT_NO_FATAL_FAILURE(WaitForWindow(kPreferences, &preferences));
  ASSERT_NO_FATAL_FAILURE(WaitForForeground(preferences.hwnd));
  PressKey(VK_ESCAPE);
  ASSERT_NO_FATAL_FAILURE(WaitForClosed(preferences.hwnd));
  Pause(kQuietPeriod);
  EXPECT_EQ(RegistryValueNames(kOptionsKey), before);
  EXPECT_TRUE(ReadRegistryValue(L"SOFTWARE\\Velmora\\Tarnwick", L"@Started").has_value());
}

TEST_F(Welcome, TheSwitchShowsItAgainOnALaterStart) {
  ASSERT_NO_FATAL_FAILURE(Launch(true, L"/F"));
  WindowInfo welcome;
  ASSERT_NO_FATAL_FAILURE(WaitForWindow(L"Welcome!", &welcome));
}

TEST_F(Welcome, ASecondStartWithTheSwitchShowsItInTheRunningCopy) {
  ASSERT_NO_FATAL_FAILURE(Launch(true, L""));
  ASSERT_EQ(StartSecondCopy(L"/F"), std::optional<DWORD>(0)) << Seen();
  WindowInfo welcome, preferences;
  ASSERT_NO_FATAL_FAILURE(WaitForWindow(L"Welcome!", &welcome));
  ASSERT_NO_FATAL_FAILURE(ClickOk(welcome.hwnd));
  ASSERT_NO_FATAL_FAILURE(WaitForWindow(kPreferences, &preferences));
}

TEST_F(Welcome, ExitDuringItEndsTheProgramWithoutPreferences) {
  ASSERT_NO_FATAL_FAILURE(Launch(false, L""));
  WindowInfo welcome;
  ASSERT_NO_FATAL_FAILURE(WaitForWindow(L"Welcome!", &welcome));
  ASSERT_NO_FATAL_FAILURE(ChooseFromTrayMenu('X'));
  // Watched closely until the end for any other window.
  std::string others;
  const bool ended = WaitUntil(
      [&] {
        for (const auto& w : VisibleTopLevelWindows(Pid()))
          if (w.hwnd != welcome.hwnd) others += " \"" + Narrow(w.title) + "\"";
        return !tarnwick_.Running();
      },
      10s, 2ms);
  ASSERT_TRUE(ended) << "still running after Exit; " << Seen();
  EXPECT_EQ(tarnwick_.WaitForExit(0ms), std::optional<DWORD>(0));
  EXPECT_TRUE(others.empty()) << "shown after Exit:" << others;
}

}  // namespace
}  // namespace e2e
