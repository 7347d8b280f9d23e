// The About box and the welcome: their scaled layouts, the host's sequence
// around the About box, and the first-run flow of the start-up timer.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/about/about.h"
#include "fakes/host_fixture.h"

namespace tw {
namespace {

using fakes::HostFixture;

const std::string kOptions = "SOFTWARE\\Velmora\\Tarnwick\\Options";

int LastIndexOf(const fakes::CallLog& log, const std::string& call) {
  const auto it = std::find(log.calls.rbegin(), log.calls.rend(), call);
  return it == log.calls.rend() ? -1 : static_cast<int>(log.calls.rend() - it) - 1;
}

int OptionWrites(const fakes::FakeRegistry& registry) {
  const auto writes = registry.CallsOf("write");
  return static_cast<int>(std::count_if(writes.begin(), writes.end(),
                                        [](const std::string& w) { return w.starts_with(kOptions + "\\"); }));
}

TEST(AboutLayout, BothDialogsScaleByTheMessageFontRoundedToTheNearest) {
  const struct {
    int font;
    Size about, welcome;
    Rect band, icon, url, aboutOk, text, welcomeOk;
    int nameHeight;
  } cases[] = {
      {-11, {376, 217}, {451, 289}, {0, 0, 65, 217}, {16, 16, 48, 48}, {88, 56, 88, 56}, {88, 176, 169, 201},
       {88, 80, 392, 225}, {88, 248, 169, 273}, -24},
      {0, {376, 217}, {451, 289}, {0, 0, 65, 217}, {16, 16, 48, 48}, {88, 56, 88, 56}, {88, 176, 169, 201},
       {88, 80, 392, 225}, {88, 248, 169, 273}, -24},
      // 65 * 16 / 11 is 94.5...: the band 95 wide, not 94.
      {-16, {547, 316}, {656, 420}, {0, 0, 95, 316}, {23, 23, 70, 70}, {128, 81, 128, 81}, {128, 256, 246, 292},
       {128, 116, 570, 327}, {128, 361, 246, 397}, -35},
  };
  for (const auto& c : cases) {
    const AboutLayout a = ScaleAboutLayout(c.font);
    const FirstRunLayout w = ScaleFirstRunLayout(c.font);
    EXPECT_EQ(a.client, c.about) << c.font;
    EXPECT_EQ(a[AboutControl::Shape1], c.band) << c.font;
    EXPECT_EQ(a[AboutControl::imgIcon], c.icon) << c.font;
    EXPECT_EQ(a[AboutControl::lblURL], c.url) << c.font;  // a label: its place, sized to its text later
    EXPECT_EQ(a[AboutControl::btnOK], c.aboutOk) << c.font;
    EXPECT_EQ(a.nameFontHeight, c.nameHeight) << c.font;
    EXPECT_EQ(w.client, c.welcome) << c.font;
    EXPECT_EQ(w[FirstRunControl::Shape1].bottom, c.welcome.height) << c.font;  // the full height
    EXPECT_EQ(w[FirstRunControl::Label1], c.text) << c.font;
    EXPECT_EQ(w[FirstRunControl::btnOK], c.welcomeOk) << c.font;
    EXPECT_EQ(w.nameFontHeight, c.nameHeight) << c.font;
  }
  // The 32 x 32 picture centred in a 47 x 47 image: 7 pixels in.
  EXPECT_EQ(CentredPicture(ScaleAboutLayout(-16)[AboutControl::imgIcon]), (Rect{30, 30, 62, 62}));
}

TEST(About, ToolsAndIconsAreOffWhileTheBoxIsOpenAndBackAfterIt) {
  HostFixture f;
  bool checked = false;
  f.dialogs.whileAboutOpen = [&] {
    checked = true;
    EXPECT_FALSE(f.ToolsEnabled());
    for (int t = -1; t < 4; ++t) EXPECT_EQ(f.ShownState(t), 2) << t;
    f.host->pmnTrayPopup();
    for (const char* item : {"mniMagnifier", "mniDropper", "mniAbout", "mniPreferences"})
      EXPECT_FALSE(f.host->pmnTray.Find(item)->Enabled) << item;
    f.host->xtiMouseUp(f.host->TrayIcon(kDropper), MouseButton::Left, 0, 0, 0);
    EXPECT_FALSE(f.RunActive());
    EXPECT_EQ(f.app.beeps, 1);
  };
  TMenuItem& item = *f.host->pmnTray.Find("mniAbout");
  item.OnClick(item);
  ASSERT_TRUE(checked);
  // Grey before the box, normal after it.
  EXPECT_LT(f.log.IndexOf("tray modify"), f.log.IndexOf("about show"));
  EXPECT_GT(LastIndexOf(f.log, "tray modify"), f.log.IndexOf("about close"));
  EXPECT_TRUE(f.ToolsEnabled());
  EXPECT_TRUE(item.Enabled);
  for (int t = -1; t < 4; ++t) EXPECT_EQ(f.ShownState(t), 0) << t;
}

TEST(About, ABoxThatCannotShowStillRestoresThenSaysWhy) {
  HostFixture f;
  f.dialogs.aboutFailure = "Cannot show the dialog (error 1400)";
  f.host->mniAboutClick();
  ASSERT_EQ(f.app.errors, std::vector<std::string>{f.dialogs.aboutFailure});
  EXPECT_GT(f.log.IndexOf("error: " + f.dialogs.aboutFailure), LastIndexOf(f.log, "tray modify"));
  EXPECT_GT(LastIndexOf(f.log, "tray modify"), f.log.IndexOf("about show"));
  EXPECT_TRUE(f.ToolsEnabled());
  for (int t = -1; t < 4; ++t) EXPECT_EQ(f.ShownState(t), 0) << t;
}

TEST(About, HotKeysStayLiveAndARunTheyStartIsDrawnAtTheNextIdle) {
  HostFixture f(false);
  f.registry.SetString(kOptions, "MagnifierKey", "49229");  // Ctrl+Alt+M
  f.host->FormCreate();
  f.dialogs.whileAboutOpen = [&] {
    const auto id = f.hotkeys.Press(kModControl | kModAlt, 'M');
    ASSERT_TRUE(id.has_value()) << "the hot key is not registered during the About box";
    f.host->OnHotKey(static_cast<std::uintptr_t>(*id));
    f.window.presented.clear();
    f.host->ApplicationIdle();  // the modal loop's idle moment
    EXPECT_FALSE(f.window.presented.empty()) << "no lens before a mouse move";
    f.host->FormMouseDown(MouseButton::Left, 0, 10, 10);
    EXPECT_FALSE(f.RunActive());
    for (int t = -1; t < 4; ++t) EXPECT_EQ(f.ShownState(t), 2) << "icon " << t << " after the run, box still open";
  };
  f.host->mniAboutClick();
  EXPECT_LT(f.log.IndexOf("show host"), f.log.IndexOf("about close"));
}

TEST(About, ExitWhileTheBoxIsOpenEndsTheProgramAndSavesNothing) {
  HostFixture f;
  f.registry.ClearCalls();
  f.dialogs.whileAboutOpen = [&] { f.host->mniExitClick(); };
  f.host->mniAboutClick();
  f.host->FormDestroy();
  EXPECT_TRUE(f.app.terminated);
  EXPECT_TRUE(f.registry.CallsOf("write").empty());
}

TEST(FirstRun, TheDecision) {
  const struct {
    bool firstStart;
    std::vector<std::string> args;
    bool due;
  } cases[] = {
      {true, {}, true},         {true, {"x"}, true},         {false, {}, false},       {false, {"/f"}, true},
      {false, {"/F", "x"}, true}, {false, {"x", "/F"}, false}, {false, {"/Fx"}, false}, {false, {"-f"}, false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FirstRunDue(c.firstStart, c.args), c.due) << c.firstStart << (c.args.empty() ? "" : " " + c.args[0]);
}

TEST(FirstRun, TheWelcomeThenPreferencesAsFromTheTrayOrNothing) {
  const struct {
    const char* name;
    bool earlierStart;
    std::vector<std::string> args;
    bool quit, fails, welcome, preferences;
  } cases[] = {
      {"first start", false, {}, false, false, true, true},
      {"later, /f", true, {"/f"}, false, false, true, true},
      {"later, /F second", true, {"x", "/F"}, false, false, false, false},
      {"later, /Fx", true, {"/Fx"}, false, false, false, false},
      {"a quit meanwhile", false, {}, true, false, true, false},
      {"no welcome", true, {"/F"}, false, true, true, false},
  };
  for (const auto& c : cases) {
    HostFixture f;
    if (c.earlierStart) f.registry.SetString("SOFTWARE\\Velmora\\Tarnwick", "@Started", "1");
    if (c.quit) f.dialogs.whileFirstRunOpen = [&] { f.host->mniExitClick(); };
    if (c.fails) f.dialogs.firstRunFailure = "Cannot show the dialog (error 8)";
    f.registry.ClearCalls();
    f.log.calls.clear();
    f.host->StartupTimerTick(c.args);
    EXPECT_EQ(f.log.Contains("first run show"), c.welcome) << c.name;
    EXPECT_EQ(f.log.Contains("setup show"), c.preferences) << c.name;
    EXPECT_EQ(f.app.errors.size(), c.fails ? 1u : 0u) << c.name;
    EXPECT_EQ(OptionWrites(f.registry), 0) << c.name << ": Cancel in Preferences saves nothing";
    if (!c.preferences) continue;
    // As from the tray menu: the hot keys off around the dialog, once the
    // welcome has closed.
    EXPECT_LT(f.log.IndexOf("first run close"), f.log.IndexOf("hotkey unregister 0")) << c.name;
    EXPECT_LT(f.log.IndexOf("hotkey unregister 3"), f.log.IndexOf("setup show")) << c.name;
    EXPECT_TRUE(f.ToolsEnabled()) << c.name;
  }
}

}  // namespace
}  // namespace tw
