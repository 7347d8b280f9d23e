// The tray host: icons, tray menu and the ways into a tool run.
#include <gtest/gtest.h>

#include <stdexcept>

#include "fakes/host_fixture.h"

namespace tw {
namespace {

using fakes::HostFixture;

constexpr unsigned kLeftDown = 0x201, kLeftUp = 0x202;

// Index of an icon's notification window in the fake tray: icons are made
// main first, then tools 0-3.
TrayWindow WindowOf(HostFixture& f, int tool) {
  std::vector<TrayWindow> created;
  for (const auto& c : f.tray.calls)
    if (c.what == "create") created.push_back(c.window);
  return created.at(static_cast<std::size_t>(tool + 1));
}

bool InTray(HostFixture& f, int tool) { return f.tray.tray.count(WindowOf(f, tool)) != 0; }

TEST(TrayHost, StartUpShowsOnlyTheMainIconWithDefaults) {
  HostFixture f;
  EXPECT_TRUE(InTray(f, -1));
  for (int t = 0; t < 4; ++t) EXPECT_FALSE(InTray(f, t)) << t;
  EXPECT_EQ(f.tray.tray.at(WindowOf(f, -1)).tip, "Tarnwick");
  for (int t = -1; t < 4; ++t) EXPECT_EQ(f.ShownState(t), 0) << t;
}

TEST(TrayHost, UpdateTrayIconsFollowsTheIconFlags) {
  struct Case {
    std::uint8_t flags;
    bool main;
    std::array<bool, 4> tools;
  };
  const std::vector<Case> cases{
      {0x0, true, {false, false, false, false}},
      {0x4, false, {false, false, true, false}},
      {0x1, false, {true, false, false, false}},
      {0xF, false, {true, true, true, true}},
  };
  HostFixture f;
  for (const auto& c : cases) {
    f.host->Settings.IconFlags = c.flags;
    f.host->UpdateTrayIcons();
    EXPECT_EQ(InTray(f, -1), c.main) << int(c.flags);
    for (int t = 0; t < 4; ++t) EXPECT_EQ(InTray(f, t), c.tools[static_cast<std::size_t>(t)]) << int(c.flags) << " tool " << t;
  }
  EXPECT_EQ(f.tray.tray.at(WindowOf(f, 1)).tip, "Screenshot");
}

TEST(TrayHost, IconStatesAcrossARun) {
  for (int tool = 0; tool < 4; ++tool) {
    SCOPED_TRACE(tool);
    HostFixture f;
    f.host->StartTool(tool);
    for (int t = 0; t < 4; ++t) EXPECT_EQ(f.ShownState(t), t == tool ? 1 : 2) << t;
    EXPECT_EQ(f.ShownState(-1), 10 + tool);  // the running tool's red picture
    f.host->EndTool();
    for (int t = -1; t < 4; ++t) EXPECT_EQ(f.ShownState(t), 0) << t;
  }
}

TEST(TrayHost, SetIconStateTwoAndZeroIncludeTheMainIcon) {
  HostFixture f;
  f.host->SetIconState(IconState::Disabled, kAllTools);
  for (int t = -1; t < 4; ++t) EXPECT_EQ(f.ShownState(t), 2) << t;
  f.host->SetIconState(IconState::Normal, 0x2);
  EXPECT_EQ(f.ShownState(1), 0);
  EXPECT_EQ(f.ShownState(0), 2);
  EXPECT_EQ(f.ShownState(-1), 0);
}

TEST(TrayHost, AddedIconChangesPictureInPlace) {
  HostFixture f;
  const TrayWindow main = WindowOf(f, -1);
  f.tray.calls.clear();
  f.host->StartTool(kScreenshot);
  int modifies = 0;
  for (const auto& c : f.tray.calls) {
    if (c.window != main) continue;
    EXPECT_NE(c.what, "delete");
    EXPECT_NE(c.what, "add");
    modifies += c.what == "modify";
  }
  EXPECT_GE(modifies, 1);
}

TEST(TrayHost, LeftClickOnToolIconStartsItsTool) {
  HostFixture f;
  f.host->Settings.IconFlags = 0x8;
  f.host->UpdateTrayIcons();
  f.tray.Notify(WindowOf(f, kDropper), kLeftDown);
  f.tray.Notify(WindowOf(f, kDropper), kLeftUp);
  EXPECT_TRUE(f.RunActive());
  EXPECT_EQ(f.ShownState(kDropper), 1);  // its icon shows it running
}

TEST(TrayHost, ToolIconClickWhileToolsDisabledBeepsOnly) {
  HostFixture f;
  f.dialogs.whileAboutOpen = [&] { f.host->xtiMouseUp(f.host->TrayIcon(kMagnifier), MouseButton::Left, 0, 5, 5); };
  f.host->mniAboutClick();
  EXPECT_EQ(f.app.beeps, 1);
  EXPECT_FALSE(f.RunActive());
  EXPECT_FALSE(f.log.Contains("acquire desktop"));
}

TEST(TrayHost, OtherButtonsOnToolIconsAreIgnored) {
  HostFixture f;
  f.host->xtiMouseUp(f.host->TrayIcon(kMagnifier), MouseButton::Right, 0, 5, 5);
  f.host->xtiMouseUp(f.host->TrayIcon(kMagnifier), MouseButton::Middle, 0, 5, 5);
  EXPECT_FALSE(f.RunActive());
  EXPECT_EQ(f.app.beeps, 0);
}

TEST(TrayHost, MainIconLeftClickOpensTheTrayMenuAtTheCursor) {
  HostFixture f;
  f.screen.cursor = {300, 190};
  f.tray.cursor = {300, 190};
  f.tray.Notify(WindowOf(f, -1), kLeftDown);
  f.tray.Notify(WindowOf(f, -1), kLeftUp);
  ASSERT_EQ(f.menus.shown.size(), 1u);
  EXPECT_EQ(f.menus.shown[0].menu, "pmnTray");
  EXPECT_EQ(f.menus.shown[0].at, (Point{300, 190}));
  std::vector<std::string> captions;
  for (const auto& item : f.menus.shown[0].items) captions.push_back(item.Caption);
  EXPECT_EQ(captions, (std::vector<std::string>{"E&xit", "-", "&About...", "&Preferences...", "-", "Ma&gnifier",
                                                "&Screenshot", "&Measurer", "&Dropper"}));
}

TEST(TrayHost, TrayMenuItemStartsItsToolAndExitTerminates) {
  HostFixture f;
  f.menus.choose = "mniMeasurer";
  f.host->TrayIcon(-1).Popup(1, 1);
  EXPECT_TRUE(f.RunActive());
  EXPECT_EQ(f.ShownState(kMeasurer), 1);  // its icon shows it running
  f.host->EndTool();
  f.menus.choose = "mniExit";
  f.host->TrayIcon(-1).Popup(1, 1);
  EXPECT_TRUE(f.app.terminated);
}

TEST(TrayHost, TrayMenuFollowsToolsEnabledAndShowsHotKeys) {
  HostFixture f;
  f.host->Settings.MagnifierKey = 0xC04D;
  f.host->Settings.DropperKey = 0x2074;
  f.dialogs.whileAboutOpen = [&] { f.host->TrayIcon(-1).Popup(1, 1); };
  f.host->mniAboutClick();
  ASSERT_EQ(f.menus.shown.size(), 1u);
  for (const auto& item : f.menus.shown[0].items) {
    if (item.IsSeparator()) continue;
    EXPECT_EQ(item.Enabled, item.Name == "mniExit") << item.Name;
    if (item.Name == "mniMagnifier") EXPECT_EQ(item.ShortCutText, "Ctrl+Alt+M");
    if (item.Name == "mniDropper") EXPECT_EQ(item.ShortCutText, "Shift+F5");
    if (item.Name == "mniScreenshot") EXPECT_EQ(item.ShortCutText, "");
  }
  f.host->TrayIcon(-1).Popup(1, 1);
  for (const auto& item : f.menus.shown[1].items) EXPECT_TRUE(item.Enabled) << item.Name;
}

TEST(TrayHost, CloseQueryHidesAVisibleHostAndAllowsAHiddenOne) {
  HostFixture f;
  f.host->StartTool(kScreenshot);
  EXPECT_FALSE(f.host->FormCloseQuery());
  EXPECT_FALSE(f.window.visible);
  EXPECT_TRUE(f.registry.HasKey("SOFTWARE\\Velmora\\Tarnwick\\Options"));  // the hide saved
  f.host->EndTool();
  EXPECT_TRUE(f.host->FormCloseQuery());
  f.host->FormClose();
  EXPECT_TRUE(f.app.terminated);
}

TEST(TrayHost, DestroyUnregistersHotKeysThenEndsTheRun) {
  HostFixture f;
  f.host->StartTool(kMagnifier);
  f.hotkeys.calls.clear();
  f.log.calls.clear();
  f.host->FormDestroy();
  EXPECT_FALSE(f.RunActive());
  EXPECT_EQ(f.hotkeys.calls, (std::vector<std::string>{"unregister 0", "unregister 1", "unregister 2", "unregister 3"}));
  // Across ports: every hot key is gone before the run's end hides the host.
  const int lastUnregister = f.log.IndexOf("hotkey unregister 3");
  ASSERT_GE(lastUnregister, 0);
  EXPECT_LT(lastUnregister, f.log.IndexOf("release desktop"));
  EXPECT_LT(lastUnregister, f.log.IndexOf("hide host"));
}

TEST(TrayHost, HostDestructionTakesEveryIconOutOfTheTray) {
  HostFixture f;
  f.host->Settings.IconFlags = 0xF;
  f.host->UpdateTrayIcons();
  f.host.reset();
  EXPECT_TRUE(f.tray.tray.empty());
}

TEST(TrayHost, CreationRunsInOrder) {
  HostFixture f(false);
  f.registry.SetString("SOFTWARE\\Velmora\\Tarnwick\\Options", "ScreenshotIcon", "1");
  f.registry.SetString("SOFTWARE\\Velmora\\Tarnwick\\Options", "ScreenshotKey", "16467");
  f.host->FormCreate();
  // Settings are loaded before the icons and hot keys use them.
  EXPECT_TRUE(InTray(f, kScreenshot));
  EXPECT_FALSE(InTray(f, -1));
  EXPECT_EQ(f.hotkeys.registered.count(1), 1u);
  f.host->mniPreferencesClick();
  EXPECT_EQ(f.dialogs.shownHelpFile, "C:\\Tools\\Tarnkit.hlp");
  EXPECT_TRUE(f.log.Contains("register cursors"));
}

TEST(TrayHost, StartupTimerShowsFirstRunOnFirstStartOrSwitch) {
  struct Case {
    bool earlierStart;
    std::vector<std::string> args;
    bool due;
  };
  const std::vector<Case> cases{
      {false, {}, true},
      {true, {}, false},
      {true, {"/f"}, true},
      {true, {"/F", "x"}, true},
      {true, {"x", "/F"}, false},
      {true, {"/Fx"}, false},
  };
  for (const auto& c : cases) {
    HostFixture f;
    if (c.earlierStart) {
      f.host->StartupTimerTick({});
      f.log.calls.clear();
    }
    f.host->StartupTimerTick(c.args);
    EXPECT_EQ(f.log.Contains("first run show"), c.due) << (c.args.empty() ? "" : c.args[0]);
  }
}

TEST(TrayHost, AnIconNumberOutOfRangeIsAnError) {
  HostFixture f;
  for (const int bad : {-2, 4}) EXPECT_THROW(static_cast<void>(f.host->TrayIcon(bad)), std::out_of_range) << bad;
}

}  // namespace
}  // namespace tw
