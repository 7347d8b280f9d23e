// The program's edges: the session's end, a second start, a run's menus.
#include <gtest/gtest.h>

#include "fakes/host_fixture.h"

namespace tw {
namespace {

const std::string kOptions = "SOFTWARE\\Velmora\\Tarnwick\\Options";
enum State { kIdle, kRun, kPreferences, kAbout, kWelcome };

// A host with a hot key and its main icon meets `edge`, once, in `state`.
void MeetIn(fakes::HostFixture& f, State state, const std::function<void()>& edge) {
  f.registry.SetString(kOptions, "MagnifierKey", "49229");
  f.host->FormCreate();
  const auto once = [edge, met = std::make_shared<bool>(false)] {
    if (!std::exchange(*met, true)) edge();
  };
  f.dialogs.whileSetupOpen = f.dialogs.whileAboutOpen = f.dialogs.whileFirstRunOpen = once;
  if (state == kRun) f.host->StartTool(kScreenshot);
  if (state == kRun) f.infoWindows.last->owner->MoveTo({70, 40});  // a caption drag
  if (state == kIdle || state == kRun) once();
  if (state == kPreferences) f.host->mniPreferencesClick();
  if (state == kAbout) f.host->mniAboutClick();
  if (state == kWelcome) f.host->StartupTimerTick({"/F"});
}

TEST(Session, ItsEndSavesARunEndsADialogUnsavedAndLeavesNothing) {
  for (State state : {kIdle, kRun, kPreferences, kAbout, kWelcome}) {
    fakes::HostFixture f(false);
    auto nothingLeft = [&] {
      EXPECT_TRUE(f.tray.tray.empty() && f.hotkeys.registered.empty() && !f.window.visible && f.app.terminated)
          << state;
    };
    MeetIn(f, state, [&] { f.host->EndSession(); nothingLeft(); });
    f.host->FormDestroy();  // as the shell does once the loops have ended
    nothingLeft();
    const auto x = f.registry.GetValue(kOptions, "ScreenshotPosX");
    EXPECT_EQ(x ? x->text : "", state == kRun ? "70" : "") << state;
    EXPECT_EQ(f.log.Count("setup show"), state == kPreferences ? 1 : 0) << state;  // none after the welcome
  }
}

TEST(SecondStart, TheSwitchOpensTheWelcomeOrBringsTheOpenDialogForward) {
  for (const auto& [state, args, welcomes, fronts] : {std::tuple{kIdle, "", 0, 0}, {kRun, "/f", 1, 0}, {kAbout, "/F", 0, 1}}) {
    fakes::HostFixture f(false);
    MeetIn(f, state, [&] { f.host->OnSecondStart({args}); });
    EXPECT_EQ(f.log.Count("first run show"), welcomes) << state;
    EXPECT_EQ(f.log.Count("setup show"), welcomes) << state;
    EXPECT_EQ(f.log.Count("dialog to front"), fronts) << state;
    EXPECT_FALSE(f.window.visible) << state;
  }
}

TEST(RunMenus, AMenuOfTheRunStillOpenWhenItEndsIsClosed) {
  fakes::HostFixture f;
  f.host->StartTool(kMeasurer);
  f.menus.whileOpen = [&] { f.host->OnApplicationDeactivate(); };
  f.host->FormContextPopup({5, 5});
  EXPECT_EQ(f.log.Count("end menu"), 1);
}

}  // namespace
}  // namespace tw
