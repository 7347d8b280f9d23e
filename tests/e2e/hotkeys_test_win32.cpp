// Hot keys stored in the registry before the start reach their tools from
// anywhere; a hot key during a run changes nothing.
#include <iterator>

#include "e2e/tarnwick_fixture_win32.h"

namespace e2e {
namespace {

constexpr wchar_t kOptionsKey[] = L"SOFTWARE\\Velmora\\Tarnwick\\Options";

class HotKeys : public TarnwickTest {
 protected:
  void SetUp() override {
    std::string error;
    // Ctrl+Alt+S for the Screenshot tool, Shift+F5 for the Dropper, as the
    // program stores shortcut codes: decimal text.
    ASSERT_TRUE(WriteRegistryText(kOptionsKey, L"ScreenshotKey", L"49235", &error)) << error;
    ASSERT_TRUE(WriteRegistryText(kOptionsKey, L"DropperKey", L"8308", &error)) << error;
    ASSERT_NO_FATAL_FAILURE(Launch(true, L""));
  }
};

TEST_F(HotKeys, StoredHotKeysStartTheirToolsAndARunIgnoresThem) {
  PressKeys({VK_CONTROL, VK_MENU, 'S'});
  WindowInfo host;
  ASSERT_NO_FATAL_FAILURE(WaitForHostShown(&host));

  // The Dropper's hot key during the Screenshot run: still one run, still
  // the same host window, still shown.
  PressKeys({VK_SHIFT, VK_F5});
  Pause(kQuietPeriod);
  EXPECT_TRUE(HostShown()) << Seen();
  EXPECT_EQ(VisibleTopLevelWindows(Pid()).size(), 1u) << Seen();

  PressKey(VK_ESCAPE);
  ASSERT_NO_FATAL_FAILURE(WaitForHostHidden());
  // The end of the run saved every setting, the hot keys as they were loaded.
  ASSERT_TRUE(WaitUntil([] { return ReadRegistryValue(kOptionsKey, L"AutoStart").has_value(); }, 3s))
      << "no options saved after the run ended";
  EXPECT_EQ(RegistryValueNames(kOptionsKey).size(), 24u);
  const auto screenshotKey = ReadRegistryValue(kOptionsKey, L"ScreenshotKey");
  ASSERT_TRUE(screenshotKey.has_value());
  EXPECT_EQ(screenshotKey->type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(Narrow(screenshotKey->text), "49235");

  // Now idle, the Dropper's hot key starts its run.
  PressKeys({VK_SHIFT, VK_F5});
  ASSERT_NO_FATAL_FAILURE(WaitForHostShown(&host));
  PressKey(VK_ESCAPE);
  ASSERT_NO_FATAL_FAILURE(WaitForHostHidden());
  EXPECT_TRUE(tarnwick_.Running()) << Seen();
}

// Wine's virtual desktop takes a new size as a display does: the run on the
// old screen's picture ends, and the next covers the new screen.
TEST_F(HotKeys, AChangedDisplayEndsTheRunAndTheNextTakesTheNewSize) {
  WindowInfo host;
  PressKeys({VK_CONTROL, VK_MENU, 'S'});
  ASSERT_NO_FATAL_FAILURE(WaitForHostShown(&host));
  DEVMODEW mode{.dmSize = sizeof(DEVMODEW), .dmFields = DM_PELSWIDTH | DM_PELSHEIGHT, .dmPelsWidth = 800, .dmPelsHeight = 600};
  ASSERT_EQ(ChangeDisplaySettingsExW(nullptr, &mode, nullptr, 0, nullptr), DISP_CHANGE_SUCCESSFUL);
  ASSERT_NO_FATAL_FAILURE(WaitForHostHidden());
  PressKeys({VK_CONTROL, VK_MENU, 'S'});
  ASSERT_NO_FATAL_FAILURE(WaitForHostShown(&host));  // over the whole new screen
  EXPECT_EQ(host.rect.right, 800);
}

}  // namespace
}  // namespace e2e
