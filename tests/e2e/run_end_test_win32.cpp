// The ways a tool run ends, and the way the program ends.
#include "e2e/tarnwick_fixture_win32.h"
#include "e2e/test_picture_win32.h"

namespace e2e {
namespace {

using RunEnd = TarnwickTest;

TEST_F(RunEnd, EscapeEndsIt) {
  WindowInfo host;
  ASSERT_NO_FATAL_FAILURE(StartScreenshotRun(&host));
  PressKey(VK_ESCAPE);
  ASSERT_NO_FATAL_FAILURE(WaitForHostHidden());
  EXPECT_TRUE(tarnwick_.Running()) << Seen();
  // Back to normal: the main icon shows its green picture again. The icons
  // change just after the host hides (the settings are saved in between),
  // so this waits for it.
  const auto icons = TrayIcons();
  ASSERT_EQ(icons.size(), 1u) << Describe(icons);
  EXPECT_EQ(Narrow(icons[0].tip), "Tarnwick");
  EXPECT_TRUE(WaitUntil([&] { return CountIconColours(icons[0].slot).green >= 100; }, kReactionLimit))
      << "the main icon is not green after the run";
}

TEST_F(RunEnd, CloseInTheHostMenuEndsIt) {
  WindowInfo host;
  ASSERT_NO_FATAL_FAILURE(StartScreenshotRun(&host));
  // Away from the info window, which sits near the top left corner.
  std::string error;
  ASSERT_TRUE(Click(POINT{700, 420}, true, &error)) << error;
  std::optional<WindowInfo> menu;
  ASSERT_TRUE(WaitUntil(
      [&] {
        menu = VisiblePopupMenu(Pid());
        return menu.has_value();
      },
      5s))
      << "a right click on the host opened no popup menu; " << Seen();
  std::vector<MenuItem> items;
  ASSERT_NO_FATAL_FAILURE(ReadMenu(*menu, &items));
  const MenuItem* close = nullptr;
  for (const auto& item : items)
    if (!item.Separator() && item.Caption() == L"&Close") close = &item;
  ASSERT_NE(close, nullptr) << "no \"&Close\" item in the host's menu:" << Describe(items);
  EXPECT_TRUE(close->Enabled()) << Describe(items);
  ASSERT_TRUE(Click(Centre(close->rect), false, &error)) << error;
  ASSERT_NO_FATAL_FAILURE(WaitForHostHidden());
  EXPECT_TRUE(tarnwick_.Running()) << Seen();
}

TEST_F(RunEnd, ActivatingAnotherWindowEndsIt) {
  TestPicture other(RECT{40, 500, 240, 600}, 3);
  WindowInfo host;
  ASSERT_NO_FATAL_FAILURE(StartScreenshotRun(&host));
  // Once the run is under way (the host has handled everything its start
  // queued), the user turns to another program.
  DWORD_PTR ignored = 0;
  ASSERT_TRUE(SendMessageTimeoutW(host.hwnd, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored))
      << "the host does not answer; " << Seen();
  ASSERT_TRUE(SetForegroundWindow(other.Window())) << "SetForegroundWindow failed; " << Seen();
  ASSERT_NO_FATAL_FAILURE(WaitForHostHidden());
  EXPECT_EQ(GetForegroundWindow(), other.Window()) << "the other window lost the foreground again; " << Seen();
  EXPECT_TRUE(tarnwick_.Running()) << Seen();
}

using Exit = TarnwickTest;

TEST_F(Exit, EndsTheProgramAndItsIconLeavesTheTray) {
  ASSERT_NO_FATAL_FAILURE(ChooseFromTrayMenu('X'));
  const auto code = tarnwick_.WaitForExit(5s);
  ASSERT_TRUE(code.has_value()) << "Tarnwick.exe still runs 5 s after \"E&xit\"; " << Seen();
  EXPECT_EQ(*code, 0u) << "exit code " << Hex(*code);
  std::vector<TrayIcon> icons;
  EXPECT_TRUE(WaitUntil(
      [&] {
        icons = TrayIcons();
        return icons.empty();
      },
      3s))
      << "icons left in the tray after the exit: " << Describe(icons);
}

}  // namespace
}  // namespace e2e
