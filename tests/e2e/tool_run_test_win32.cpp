// A tool run: the host over the whole screen, showing the frozen capture.
#include "e2e/tarnwick_fixture_win32.h"
#include "e2e/test_picture_win32.h"

namespace e2e {
namespace {

// Clear of the info window's default place (10, 10), of the tray menu in the
// bottom right corner and of the task bar.
constexpr RECT kPictureArea{420, 150, 820, 450};

using ToolRun = TarnwickTest;

TEST_F(ToolRun, ScreenshotShowsTheFrozenScreenUntilItEnds) {
  TestPicture picture(kPictureArea, 1);
  ASSERT_TRUE(WaitUntil([&] { return picture.OnScreen(1); }, 5s))
      << "the test picture did not show: " << picture.Compare(ScreenShot::TakeAll(), 1).Describe();

  WindowInfo host;
  ASSERT_NO_FATAL_FAILURE(StartScreenshotRun(&host));
  EXPECT_EQ(Narrow(host.title), "Velmora Tarnwick");
  EXPECT_TRUE(host.exStyle & WS_EX_TOPMOST) << "the host is not stay-on-top: " << host.Describe();
  EXPECT_FALSE(host.style & (WS_CAPTION | WS_THICKFRAME)) << "the host has a border: " << host.Describe();
  // Topmost of Tarnwick's windows aside, nothing of anyone else is above it.
  const auto windows = TopLevelWindows();
  for (const auto& w : windows) {
    if (w.hwnd == host.hwnd) break;
    if (w.visible && w.pid != Pid() && w.className != L"tooltips_class32")
      ADD_FAILURE() << "a window of another process is above the host: " << w.Describe();
  }

  // Other windows of Tarnwick's (the info window) may lie on top: leave them out.
  const auto covered = OtherVisibleWindows(host.hwnd);
  const auto atStart = picture.Compare(ScreenShot::TakeAll(), 1, covered);
  EXPECT_GT(atStart.compared, 40000) << "too little of the picture is uncovered; windows of Tarnwick.exe:"
                                     << Describe(VisibleTopLevelWindows(Pid()));
  EXPECT_EQ(atStart.differing, 0) << "the host does not show the screen as it was: " << atStart.Describe();

  // Underneath the host the real screen changes; the host keeps the capture.
  picture.SetPattern(2);
  Pause(kQuietPeriod);
  const auto later = picture.Compare(ScreenShot::TakeAll(), 1, OtherVisibleWindows(host.hwnd));
  EXPECT_EQ(later.differing, 0) << "after the screen underneath changed, the host shows: " << later.Describe();

  PressKey(VK_ESCAPE);
  ASSERT_NO_FATAL_FAILURE(WaitForHostHidden());
  EXPECT_TRUE(WaitUntil([&] { return picture.OnScreen(2); }, 3s))
      << "with the run ended the screen should show the changed picture: "
      << picture.Compare(ScreenShot::TakeAll(), 2).Describe();

  // The next run captures the screen afresh.
  ASSERT_NO_FATAL_FAILURE(StartScreenshotRun(&host));
  const auto again = picture.Compare(ScreenShot::TakeAll(), 2, OtherVisibleWindows(host.hwnd));
  EXPECT_EQ(again.differing, 0) << "the second run does not show the screen as it was at its start: "
                                << again.Describe();
}

struct ToolItem {
  const char* name;
  WORD mnemonic;  // the underlined letter of its tray menu item
};

class ToolItems : public TarnwickTest {
 protected:
  // Each tool's tray menu item starts a run of that tool: the host over the
  // whole screen. (The info window of the Screenshot, Measurer and Dropper
  // runs is not part of this build; a run without one is complete.)
  void ExpectRunThatEscapeEnds(const ToolItem& tool) {
    ASSERT_NO_FATAL_FAILURE(ChooseFromTrayMenu(tool.mnemonic));
    WindowInfo host;
    ASSERT_NO_FATAL_FAILURE(WaitForHostShown(&host));
    EXPECT_TRUE(host.exStyle & WS_EX_TOPMOST) << host.Describe();
    PressKey(VK_ESCAPE);
    ASSERT_NO_FATAL_FAILURE(WaitForHostHidden());
    EXPECT_TRUE(WaitUntil([&] { return VisibleTopLevelWindows(Pid()).empty(); }, 3s))
        << "windows left after the " << tool.name << " run ended; " << Seen();
    EXPECT_TRUE(tarnwick_.Running()) << Seen();
  }
};

TEST_F(ToolItems, MagnifierStartsARunThatEscapeEnds) { ExpectRunThatEscapeEnds({"Magnifier", 'G'}); }
TEST_F(ToolItems, ScreenshotStartsARunThatEscapeEnds) { ExpectRunThatEscapeEnds({"Screenshot", 'S'}); }
TEST_F(ToolItems, MeasurerStartsARunThatEscapeEnds) { ExpectRunThatEscapeEnds({"Measurer", 'M'}); }
TEST_F(ToolItems, DropperStartsARunThatEscapeEnds) { ExpectRunThatEscapeEnds({"Dropper", 'D'}); }

}  // namespace
}  // namespace e2e
