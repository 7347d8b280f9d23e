#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/menu.h"
#include "app/trayicon/trayicon.h"
#include "core/error.h"
#include "fakes/fake_tray.h"

namespace tw {
namespace {

using fakes::FakeTrayPort;
using fakes::MakeIcon;
using namespace std::chrono_literals;

// Menu and application fakes that write into the tray's call list, so that
// one list shows the whole popup sequence in order.
class LoggingMenuPort : public IMenuPort {
 public:
  explicit LoggingMenuPort(FakeTrayPort& log) : log_(log) {}
  int choice = -1;
  Point shownAt;
  int PopupMenu(const TPopupMenu& menu, Point at) override {
    log_.calls.push_back({"popup " + menu.Name, 0, {}});
    shownAt = at;
    return choice;
  }
  void EndMenu() override {}

 private:
  FakeTrayPort& log_;
};

class LoggingAppPort : public IApplicationPort {
 public:
  explicit LoggingAppPort(FakeTrayPort& log) : log_(log) {}
  std::vector<std::string> errors;
  bool terminated = false;
  void ProcessMessages() override { log_.calls.push_back({"process messages", 0, {}}); }
  void Terminate() override { terminated = true; }
  bool Terminated() override { return terminated; }
  void Beep() override {}
  void ShowError(const std::string& message) override { errors.push_back(message); }
  std::string ProgramPath() override { return {}; }
  std::string DecimalSeparator() override { return "."; }
  std::vector<std::uint8_t> LoadResourceData(const std::string&) override { return {}; }

 private:
  FakeTrayPort& log_;
};

std::string ButtonName(MouseButton b) {
  switch (b) {
    case MouseButton::Left:
      return "L";
    case MouseButton::Right:
      return "R";
    case MouseButton::Middle:
      return "M";
  }
  return "?";
}

class TrayIconTest : public ::testing::Test {
 protected:
  FakeTrayPort tray;
  LoggingMenuPort menus{tray};
  LoggingAppPort app{tray};
  TPopupMenu menu;
  std::vector<std::string> events;
  std::unique_ptr<TTrayIcon> icon;
  TrayWindow iconWindow = 0;

  void SetUp() override {
    menu.Name = "pmnTray";
    for (const char* name : {"mniExit", "mniStart"}) {
      TMenuItem item;
      item.Name = name;
      item.Caption = name;
      item.OnClick = [this](TMenuItem& clicked) { events.push_back("item " + clicked.Name); };
      menu.Add(item);
    }
    menu.OnPopup = [this] { events.push_back("menu opens"); };
    icon = MakeTrayIcon();
    iconWindow = tray.LastWindow();
  }

  std::unique_ptr<TTrayIcon> MakeTrayIcon() {
    auto made = std::make_unique<TTrayIcon>(tray, menus, app);
    made->OnClick = [this](TTrayIcon&) { events.push_back("click"); };
    made->OnDblClick = [this](TTrayIcon&) { events.push_back("dblclick"); };
    auto mouse = [this](const char* what) {
      return [this, what](TTrayIcon&, MouseButton b, ShiftState s, int x, int y) {
        events.push_back(std::string(what) + " " + ButtonName(b) + " " + std::to_string(s) + " " +
                         std::to_string(x) + "," + std::to_string(y));
      };
    };
    made->OnMouseDown = mouse("down");
    made->OnMouseUp = mouse("up");
    made->OnMouseMove = mouse("move");
    return made;
  }

  // An icon as the host keeps it: stored inactive, then shown.
  void ShowIcon(TTrayIcon& which, const std::string& hint = "Magnifier") {
    which.SetActive(false);
    which.SetHint(hint);
    which.SetIcon(MakeIcon(1));
    which.Loaded();
    which.SetActive(true);
  }

  TrayWindow Window() const { return iconWindow; }
  void Send(std::initializer_list<unsigned> messages) {
    for (unsigned m : messages) tray.Notify(Window(), m);
  }
};

// --- the notification table ---

TEST_F(TrayIconTest, NotificationTable) {
  struct Case {
    const char* name;
    bool withMenu;
    std::vector<unsigned> messages;
    std::vector<std::string> expected;
  };
  const std::string at = " 100,200";
  const Case cases[] = {
      {"left click", true, {kWmLButtonDown, kWmLButtonUp},
       {"down L 8" + at, "click", "up L 8" + at}},
      {"left up pressed elsewhere", true, {kWmLButtonUp}, {"up L 8" + at}},
      {"one press, two releases", true, {kWmLButtonDown, kWmLButtonUp, kWmLButtonUp},
       {"down L 8" + at, "click", "up L 8" + at, "up L 8" + at}},
      {"right click opens the menu", true, {kWmRButtonDown, kWmRButtonUp},
       {"down R 16" + at, "menu opens", "up R 16" + at}},
      {"right click without a menu clicks", false, {kWmRButtonDown, kWmRButtonUp},
       {"down R 16" + at, "click", "up R 16" + at}},
      {"right up pressed elsewhere", true, {kWmRButtonUp}, {"up R 16" + at}},
      {"left double click", false, {kWmLButtonDblClk}, {"dblclick", "down L 64" + at}},
      {"right double click", true, {kWmRButtonDblClk}, {"down R 64" + at}},
      {"middle buttons", true, {kWmMButtonDown, kWmMButtonUp, kWmMButtonDblClk},
       {"down M 32" + at, "up M 32" + at, "down M 64" + at}},
      {"move", true, {kWmMouseMove}, {"move L 0" + at}},
      {"not a mouse message", true, {0x0100, 0x020A, 0}, {}},
  };
  for (const Case& c : cases) {
    events.clear();
    icon = MakeTrayIcon();
    ShowIcon(*icon);
    icon->SetPopupMenu(c.withMenu ? &menu : nullptr);
    for (unsigned m : c.messages) tray.Notify(tray.LastWindow(), m);
    EXPECT_EQ(events, c.expected) << c.name;
  }
}

TEST_F(TrayIconTest, ShiftStateJoinsKeysAndButtonAndCursorIsReadPerMessage) {
  ShowIcon(*icon);
  tray.keys = kShift | kCtrl;
  Send({kWmLButtonDown});
  tray.keys = kAlt;
  tray.cursor = {7, 9};
  Send({kWmMButtonUp});
  EXPECT_EQ(events, (std::vector<std::string>{"down L " + std::to_string(kShift | kCtrl | kLeftButton) + " 100,200",
                                              "up M " + std::to_string(kAlt | kMiddleButton) + " 7,9"}));
}

TEST_F(TrayIconTest, DoubleClickRunsTheDefaultEnabledItemInstead) {
  ShowIcon(*icon);
  icon->SetPopupMenu(&menu);
  menu.Find("mniStart")->Default = true;
  Send({kWmLButtonDblClk});
  EXPECT_EQ(events, (std::vector<std::string>{"item mniStart", "down L 64 100,200"}));

  events.clear();
  menu.Find("mniStart")->Enabled = false;
  Send({kWmLButtonDblClk});
  EXPECT_EQ(events, (std::vector<std::string>{"dblclick", "down L 64 100,200"}));
}

TEST_F(TrayIconTest, DisabledIconIgnoresNotifications) {
  ShowIcon(*icon);
  icon->SetPopupMenu(&menu);
  icon->SetEnabled(false);
  Send({kWmMouseMove, kWmLButtonDown, kWmLButtonUp, kWmRButtonDown, kWmRButtonUp, kWmLButtonDblClk});
  EXPECT_TRUE(events.empty());
  // A press while disabled does not turn the next release into a click.
  icon->SetEnabled(true);
  Send({kWmLButtonUp});
  EXPECT_EQ(events, (std::vector<std::string>{"up L 8 100,200"}));
}

TEST_F(TrayIconTest, ReaddingForgetsAPressMadeBefore) {
  ShowIcon(*icon);
  Send({kWmLButtonDown});
  icon->SetActive(false);
  icon->SetActive(true);
  events.clear();
  Send({kWmLButtonUp});
  EXPECT_EQ(events, (std::vector<std::string>{"up L 8 100,200"}));
}

// --- the popup menu ---

TEST_F(TrayIconTest, RightClickPopupSequence) {
  ShowIcon(*icon);
  icon->SetPopupMenu(&menu);
  menus.choice = 1;
  tray.cursor = {640, 1000};
  tray.calls.clear();
  Send({kWmRButtonDown, kWmRButtonUp});
  EXPECT_EQ(tray.CallNames(), (std::vector<std::string>{"release capture", "enabled?", "foreground",
                                                        "process messages", "popup pmnTray", "enabled?",
                                                        "foreground"}));
  EXPECT_EQ(menus.shownAt, (Point{640, 1000}));
  EXPECT_EQ(events, (std::vector<std::string>{"down R 16 640,1000", "menu opens", "item mniStart",
                                              "up R 16 640,1000"}));
  for (const auto& call : tray.calls) {
    if (call.what == "foreground") {
      EXPECT_EQ(call.window, Window());
    }
  }
}

TEST_F(TrayIconTest, ChosenCommandRunsAfterTheForegroundIsRestored) {
  // A tool started from the menu shows its own window; the icon's window
  // must not take the foreground back from it afterwards.
  ShowIcon(*icon);
  icon->SetPopupMenu(&menu);
  menu.Find("mniStart")->OnClick = [this](TMenuItem&) { tray.calls.push_back({"command", 0, {}}); };
  menus.choice = 1;
  tray.calls.clear();
  EXPECT_TRUE(icon->Popup(3, 4));
  const auto names = tray.CallNames();
  ASSERT_GE(names.size(), 3u);
  EXPECT_EQ(std::vector<std::string>(names.end() - 3, names.end()),
            (std::vector<std::string>{"enabled?", "foreground", "command"}));
}

TEST_F(TrayIconTest, PopupSkipsForegroundForADisabledWindow) {
  ShowIcon(*icon);
  icon->SetPopupMenu(&menu);
  tray.windowEnabled = false;
  tray.calls.clear();
  EXPECT_TRUE(icon->Popup(1, 2));
  EXPECT_EQ(tray.CallNames(), (std::vector<std::string>{"release capture", "enabled?", "process messages",
                                                        "popup pmnTray", "enabled?"}));
}

TEST_F(TrayIconTest, PopupReportsWhetherItShowedTheMenu) {
  ShowIcon(*icon);
  EXPECT_FALSE(icon->Popup(0, 0)) << "no menu";
  icon->SetPopupMenu(&menu);
  menu.AutoPopup = false;
  EXPECT_FALSE(icon->Popup(0, 0)) << "automatic popup off";
  menu.AutoPopup = true;
  icon->SetActive(false);
  EXPECT_FALSE(icon->Popup(0, 0)) << "inactive";
  const auto names = tray.CallNames();
  EXPECT_EQ(std::count(names.begin(), names.end(), "popup pmnTray"), 0);
  icon->SetActive(true);
  EXPECT_TRUE(icon->Popup(0, 0)) << "shown, though nothing was chosen";
  icon->SetPopupMenu(nullptr);
  EXPECT_EQ(icon->PopupMenu(), nullptr);
  EXPECT_FALSE(icon->Popup(0, 0));
}

// --- errors from handlers ---

TEST_F(TrayIconTest, HandlerErrorsReachTheErrorDisplay) {
  ShowIcon(*icon);
  icon->OnClick = [](TTrayIcon&) { throw Error("Cannot open clipboard"); };
  icon->OnMouseMove = [](TTrayIcon&, MouseButton, ShiftState, int, int) { throw std::runtime_error("bad move"); };
  icon->OnMouseUp = [](TTrayIcon&, MouseButton, ShiftState, int, int) { throw 42; };
  EXPECT_NO_THROW(Send({kWmLButtonDown, kWmLButtonUp, kWmMouseMove, kWmMButtonUp}));
  ASSERT_EQ(app.errors.size(), 3u);
  EXPECT_EQ(app.errors[0], "Cannot open clipboard");  // OnMouseUp did not run after it
  EXPECT_EQ(app.errors[1], "bad move");
  EXPECT_FALSE(app.errors[2].empty());
}

TEST_F(TrayIconTest, MenuItemErrorStillRestoresTheForeground) {
  ShowIcon(*icon);
  icon->SetPopupMenu(&menu);
  menu.Find("mniExit")->OnClick = [](TMenuItem&) { throw Error("Failed to set data for 'x'"); };
  menus.choice = 0;
  tray.calls.clear();
  EXPECT_NO_THROW(Send({kWmRButtonDown, kWmRButtonUp}));
  EXPECT_EQ(app.errors, (std::vector<std::string>{"Failed to set data for 'x'"}));
  ASSERT_GE(tray.calls.size(), 2u);
  EXPECT_EQ(tray.calls.back().what, "foreground");
  EXPECT_EQ(tray.calls[tray.calls.size() - 3].what, "popup pmnTray");
}

// --- the tray entry ---

TEST_F(TrayIconTest, StoredInactiveThenActivatedAddsCurrentPictureAndTip) {
  icon->SetActive(false);
  icon->SetHint("Magnifier");
  icon->SetIcon(MakeIcon(3));
  icon->Loaded();
  EXPECT_FALSE(icon->Added());
  EXPECT_TRUE(tray.tray.empty());

  icon->SetActive(true);
  EXPECT_TRUE(icon->Added());
  ASSERT_EQ(tray.tray.size(), 1u);
  const TrayIconRecord& r = tray.tray.begin()->second;
  EXPECT_EQ(r.window, Window());
  EXPECT_EQ(r.id, 0u);
  EXPECT_EQ(r.flags, 7u);
  EXPECT_EQ(r.callbackMessage, 0xB054u);
  EXPECT_EQ(r.icon, MakeIcon(3));
  EXPECT_EQ(r.tip, "Magnifier");
  EXPECT_EQ(tray.TrayCommands().back(), "add");
}

TEST_F(TrayIconTest, PictureChangeOfAnAddedIconModifiesInPlace) {
  ShowIcon(*icon);
  tray.calls.clear();
  icon->SetIcon(MakeIcon(2));
  icon->SetHint("Screenshot");
  icon->SetHint("Screenshot");  // unchanged text: nothing to send
  EXPECT_EQ(tray.TrayCommands(), (std::vector<std::string>{"modify", "modify"}));
  EXPECT_EQ(tray.tray.at(Window()).icon, MakeIcon(2));
  EXPECT_EQ(tray.tray.at(Window()).tip, "Screenshot");
  EXPECT_TRUE(icon->Added());
}

TEST_F(TrayIconTest, EmptyPictureTakesTheIconOutAndBackIn) {
  ShowIcon(*icon);
  icon->SetIcon(TIcon());
  EXPECT_FALSE(icon->Added());
  EXPECT_TRUE(tray.tray.empty());
  EXPECT_EQ(tray.TrayCommands().back(), "delete");
  icon->SetIcon(MakeIcon(5));  // still Active: back in
  EXPECT_TRUE(icon->Added());
  EXPECT_EQ(tray.tray.at(Window()).icon, MakeIcon(5));
}

TEST_F(TrayIconTest, ActiveWithoutPictureShowsNothing) {
  icon->Loaded();
  EXPECT_FALSE(icon->Added());
  const auto commands = tray.TrayCommands();
  EXPECT_EQ(std::count(commands.begin(), commands.end(), "add"), 0);
}

TEST_F(TrayIconTest, FailedAddIsRetriedAtTheNextChange) {
  tray.addSucceeds = false;
  ShowIcon(*icon);
  EXPECT_FALSE(icon->Added());
  tray.addSucceeds = true;
  icon->SetHint("Measurer");
  EXPECT_TRUE(icon->Added());
  EXPECT_EQ(tray.tray.at(Window()).tip, "Measurer");
}

TEST_F(TrayIconTest, EmptyTipIsSentAgainAsModify) {
  ShowIcon(*icon, "");
  const auto commands = tray.TrayCommands();
  ASSERT_GE(commands.size(), 2u);
  EXPECT_EQ(commands[commands.size() - 2], "add");
  EXPECT_EQ(commands.back(), "modify");
}

TEST(TrayTip, ShortPartCutToTheTooltipField) {
  const std::string a62(62, 'a');
  const std::string e = "\xC3\xA9";            // U+00E9: one UTF-16 unit
  const std::string smile = "\xF0\x9F\x98\x80";  // U+1F600: two units
  struct Case {
    std::string hint, tip;
  };
  const Case cases[] = {
      {"Magnifier", "Magnifier"},
      {std::string(70, 'x'), std::string(63, 'x')},
      {std::string(63, 'y'), std::string(63, 'y')},
      {"Short|A longer text for the status bar", "Short"},
      {"|only long", ""},
      {a62 + e + "zz", a62 + e},
      {a62 + smile, a62},  // the pair does not fit in the last unit
      {"bad \xFF byte", "bad \xFF byte"},
  };
  for (const Case& c : cases) EXPECT_EQ(TrayTip(c.hint), c.tip) << c.hint;
}

TEST_F(TrayIconTest, LongHintReachesTheTrayCut) {
  ShowIcon(*icon, std::string(80, 'h') + "|status");
  EXPECT_EQ(tray.tray.at(Window()).tip, std::string(63, 'h'));
  EXPECT_EQ(icon->Hint(), std::string(80, 'h') + "|status");
}

TEST_F(TrayIconTest, TaskbarCreatedReaddsActiveIconsOnly) {
  ShowIcon(*icon);
  const TrayWindow first = Window();
  auto hidden = MakeTrayIcon();
  ShowIcon(*hidden);
  hidden->SetActive(false);
  auto failed = MakeTrayIcon();
  tray.addSucceeds = false;
  ShowIcon(*failed);
  tray.addSucceeds = true;
  ASSERT_FALSE(failed->Added());

  tray.calls.clear();
  tray.RecreateTaskbar();
  EXPECT_TRUE(icon->Added());
  EXPECT_TRUE(failed->Added());
  EXPECT_FALSE(hidden->Added());
  EXPECT_EQ(tray.tray.size(), 2u);
  EXPECT_EQ(tray.tray.at(first).icon, MakeIcon(1));
  const auto commands = tray.TrayCommands();
  EXPECT_EQ(std::count(commands.begin(), commands.end(), "add"), 2);
}

TEST_F(TrayIconTest, DestructionTakesTheIconOutAndReleasesTheWindow) {
  ShowIcon(*icon);
  const TrayWindow window = Window();
  icon.reset();
  EXPECT_TRUE(tray.tray.empty());
  ASSERT_GE(tray.calls.size(), 2u);
  EXPECT_EQ(tray.calls[tray.calls.size() - 2].what, "delete");
  EXPECT_EQ(tray.calls.back().what, "destroy");
  EXPECT_FALSE(tray.HasWindow(window));
}

// --- animation ---

class TrayAnimationTest : public TrayIconTest {
 protected:
  void SetUp() override {
    TrayIconTest::SetUp();
    ShowIcon(*icon);
    for (std::uint8_t seed : {10, 11, 12}) icon->Icons().Add(MakeIcon(seed));
    icon->SetInterval(1);
  }
  // Waits for the thread's next tick and delivers it.
  void Tick() {
    ASSERT_TRUE(tray.WaitForTicks(1, 5s)) << "no tick within 5 s";
    tray.DeliverTicks();
  }
  TIcon Shown() const { return tray.tray.at(Window()).icon; }
};

TEST_F(TrayAnimationTest, FramesAdvanceOnTheUserInterfaceThreadAndWrap) {
  icon->SetAnimated(true);
  ASSERT_TRUE(icon->Animated());
  const std::uint8_t expected[] = {11, 12, 10, 11};
  for (std::uint8_t seed : expected) {
    Tick();
    EXPECT_EQ(Shown(), MakeIcon(seed));
  }
  EXPECT_TRUE(icon->Added());
}

TEST_F(TrayAnimationTest, OnlyOneTickIsOutstanding) {
  icon->SetAnimated(true);
  ASSERT_TRUE(tray.WaitForTicks(1, 5s));
  std::this_thread::sleep_for(30ms);  // 30 intervals
  EXPECT_EQ(tray.QueuedTicks(), 1u);
  EXPECT_EQ(tray.DeliverTicks(), 1u);
  EXPECT_TRUE(tray.WaitForTicks(1, 5s)) << "the thread goes on once its tick arrived";
}

TEST_F(TrayAnimationTest, FrameIsClampedToTheListAndAnEmptyListStopsAnimation) {
  icon->SetAnimated(true);
  Tick();
  Tick();
  ASSERT_EQ(Shown(), MakeIcon(12));
  icon->Icons().Delete(2);  // frame 2 now lies past the end
  EXPECT_EQ(Shown(), MakeIcon(11));
  icon->Icons().Clear();
  EXPECT_FALSE(icon->Animated());
  EXPECT_EQ(Shown(), MakeIcon(1)) << "back to Icon";
}

TEST_F(TrayAnimationTest, StoppingShowsIconAndDropsStaleTicks) {
  icon->SetAnimated(true);
  Tick();
  ASSERT_TRUE(tray.WaitForTicks(1, 5s));
  tray.calls.clear();
  icon->SetAnimated(false);
  EXPECT_EQ(tray.TrayCommands(), (std::vector<std::string>{"modify"}));
  EXPECT_EQ(Shown(), MakeIcon(1));
  EXPECT_EQ(tray.DeliverTicks(), 1u);
  EXPECT_EQ(tray.TrayCommands().size(), 1u) << "a tick queued before the stop changed the picture";

  icon->SetAnimated(true);  // starts over at the first entry
  EXPECT_EQ(Shown(), MakeIcon(1));
  Tick();
  EXPECT_EQ(Shown(), MakeIcon(11));
}

TEST_F(TrayAnimationTest, NeedsAnIconAndPausesWhileOutOfTheTray) {
  icon->Icons().Clear();
  icon->SetAnimated(true);
  EXPECT_FALSE(icon->Animated());

  icon->Icons().Add(MakeIcon(20));
  icon->Icons().Add(MakeIcon(21));
  icon->SetActive(false);
  icon->SetAnimated(true);
  ASSERT_TRUE(icon->Animated());
  EXPECT_FALSE(tray.WaitForTicks(1, 40ms)) << "ticks while not in the tray";
  icon->SetActive(true);
  EXPECT_EQ(Shown(), MakeIcon(20));
  Tick();
  EXPECT_EQ(Shown(), MakeIcon(21));
}

TEST_F(TrayAnimationTest, IgnoresTicksOnceTheApplicationEnds) {
  icon->SetAnimated(true);
  ASSERT_TRUE(tray.WaitForTicks(1, 5s));
  app.terminated = true;
  tray.calls.clear();
  tray.DeliverTicks();
  EXPECT_TRUE(tray.TrayCommands().empty());
}

TEST_F(TrayAnimationTest, DestructionWhileAnimatingEndsTheThread) {
  icon->SetInterval(60000);  // the thread sleeps in its pause now
  icon->SetAnimated(true);
  const auto start = std::chrono::steady_clock::now();
  icon.reset();
  EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
  EXPECT_TRUE(tray.tray.empty());
}

}  // namespace
}  // namespace tw
