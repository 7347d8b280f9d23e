// The tool run: start, capture, show, paint, hide, end.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>

#include "core/error.h"
#include "fakes/host_fixture.h"

namespace tw {
namespace {

using fakes::HostFixture;

// A tool that only writes down what reaches it, as "<tool> <event>".
class SpyTool final : public TTool {
 public:
  SpyTool(int id, IToolRun& run, fakes::CallLog& log) : TTool(run), id_(id), log_(log) {}
  int Id() const override { return id_; }
  HostCanvas Canvas() const override { return {}; }
  std::optional<CursorShape> WindowCursor() const override { return std::nullopt; }
  void Show() override { Note("show"); }
  void Started() override { Note("started"); }
  void Paint(const Rect&) override { Note("paint"); }
  void MouseDown(MouseButton, ShiftState, Point at) override { Note("down " + Where(at)); }
  void MouseMove(ShiftState, Point at) override { Note("move " + Where(at)); }
  void MouseUp(MouseButton, ShiftState, Point at) override { Note("up " + Where(at)); }
  void KeyDown(unsigned key, ShiftState) override { Note("key " + std::to_string(key)); }
  bool SetCursor(bool) override {
    Note("cursor");
    return true;
  }

 private:
  static std::string Where(Point p) { return std::to_string(p.x) + "," + std::to_string(p.y); }
  void Note(const std::string& what) { log_.Add(std::to_string(id_) + " " + what); }
  int id_;
  fakes::CallLog& log_;
};

TEST(ToolRun, TheHostForwardsEachEventToTheRunningToolAlone) {
  fakes::CallLog spies;
  HostFixture f(false, [&](int id, IToolRun& run) { return std::make_unique<SpyTool>(id, run, spies); });
  f.host->FormCreate();
  for (int tool = 0; tool < kToolCount; ++tool) {
    SCOPED_TRACE(tool);
    spies.calls.clear();
    f.host->StartTool(tool);
    f.host->FormMouseDown(MouseButton::Left, 0, 1, 2);
    f.host->FormMouseMove(0, 3, 4);
    f.host->FormMouseUp(MouseButton::Left, 0, 5, 6);
    f.host->FormKeyDown('A', 0);
    EXPECT_TRUE(f.host->OnSetCursor(true));
    f.host->FormPaint({0, 0, 10, 10});
    f.host->EndTool();
    // After the run nothing reaches any tool.
    f.host->FormMouseMove(0, 7, 8);
    f.host->FormKeyDown('B', 0);
    EXPECT_FALSE(f.host->OnSetCursor(true));
    const std::string t = std::to_string(tool) + " ";
    // Showing the host paints it once (the fake window does, as Windows does).
    EXPECT_EQ(spies.calls, (std::vector<std::string>{t + "show", t + "paint", t + "started", t + "down 1,2",
                                                     t + "move 3,4", t + "up 5,6", t + "key 65", t + "cursor",
                                                     t + "paint"}));
  }
}

TEST(ToolRun, InvalidToolsAndSecondStartsDoNothing) {
  HostFixture f;
  f.host->StartTool(-1);
  f.host->StartTool(4);
  EXPECT_FALSE(f.RunActive());
  EXPECT_FALSE(f.log.Contains("acquire desktop"));
  f.host->StartTool(kScreenshot);
  f.host->StartTool(kScreenshot);
  f.host->StartTool(kDropper);
  f.host->OnHotKey(kMagnifier);
  EXPECT_EQ(f.log.Count("acquire desktop"), 1);
  EXPECT_EQ(f.log.Count("create info window"), 1);
  EXPECT_EQ(f.ShownState(kScreenshot), 1);  // its icon shows it running
}

TEST(ToolRun, StartsArrivingWhilePendingMessagesRunAreRefused) {
  HostFixture f;
  // A second hot key and a tray click wait in the queue when the first
  // start lets the messages through.
  f.app.pending.push_back([&] { f.host->OnHotKey(kScreenshot); });
  f.app.pending.push_back([&] { f.host->xtiMouseUp(f.host->TrayIcon(kDropper), MouseButton::Left, 0, 1, 1); });
  f.host->OnHotKey(kScreenshot);
  EXPECT_TRUE(f.RunActive());
  EXPECT_EQ(f.log.Count("acquire desktop"), 1);
  EXPECT_EQ(f.log.Count("create info window"), 1);
  EXPECT_EQ(f.ShownState(kScreenshot), 1);  // its icon shows it running
}

TEST(ToolRun, DeactivationDuringThePendingStepFindsNoRun) {
  HostFixture f;
  f.app.pending.push_back([&] { f.host->OnApplicationDeactivate(); });
  f.host->StartTool(kMeasurer);
  EXPECT_TRUE(f.RunActive());
  EXPECT_TRUE(f.window.visible);
}

TEST(ToolRun, StartOrderForegroundMessagesCaptureShow) {
  HostFixture f;
  f.log.calls.clear();
  f.host->StartTool(kScreenshot);
  const std::vector<std::string> want{"foreground",   "process messages", "acquire desktop", "copy desktop",
                                      "show host",    "repaint",          "create info window"};
  EXPECT_EQ(f.log.Except({"tray ", "registry "}), want);
}

TEST(ToolRun, CaptureHasTheLensMarginAndTheFrozenScreen) {
  HostFixture f;
  f.host->Settings.ZoomWidth = 101;
  f.host->Settings.ZoomHeight = 61;
  f.host->StartTool(kDropper);
  const Pixmap& capture = f.Capture();
  EXPECT_EQ(capture.Width(), 320 + 50);
  EXPECT_EQ(capture.Height(), 200 + 30);
  for (int y = 0; y < capture.Height(); ++y)
    for (int x = 0; x < capture.Width(); ++x) {
      const PixelValue want = (x < 320 && y < 200) ? f.screen.desktop.Pixel(x, y) : 0xFFFFFFu;
      ASSERT_EQ(capture.Pixel(x, y), want) << x << "," << y;
    }
}

TEST(ToolRun, PaintShowsTheFrozenImageWhateverTheScreenDoes) {
  HostFixture f;
  const Pixmap before = f.screen.desktop;
  f.host->StartTool(kScreenshot);
  f.screen.desktop.Fill(0x00FF00);  // another program draws meanwhile
  f.window.RepaintHost();
  EXPECT_TRUE(f.Surface() == before);
  f.host->EndTool();
  f.host->StartTool(kScreenshot);  // the next run captures afresh
  EXPECT_EQ(f.Surface().Pixel(7, 7), 0x00FF00u);
}

TEST(ToolRun, ShowResetsTheRunState) {
  HostFixture f;
  f.screenshot().SelectionRect = {1, 2, 3, 4};
  f.screenshot().SelectionFlag = true;
  f.screenshot().Dragging = true;
  f.screenshot().Zone = HitZone::BottomLeft;
  f.host->StartTool(kScreenshot);
  EXPECT_EQ(f.screenshot().SelectionRect, Rect{});
  EXPECT_FALSE(f.screenshot().SelectionFlag);
  EXPECT_FALSE(f.screenshot().Dragging);
  EXPECT_EQ(f.screenshot().Zone, HitZone::Outside);
}

TEST(ToolRun, PerToolDrawingSetUp) {
  struct Case {
    int tool;
    int magnifierCursor;
    std::vector<CursorShape> cursors;
    HostCanvas canvas;
    const char* popup;
  };
  const std::vector<Case> cases{
      {kMagnifier, 0, {CursorShape::None}, {kBlack}, nullptr},
      {kMagnifier, 1, {CursorShape::Arrow}, {kBlack}, nullptr},
      {kMagnifier, 2, {CursorShape::Cross}, {kBlack}, nullptr},
      {kMagnifier, 7, {}, {kBlack}, nullptr},
      {kScreenshot, 0, {CursorShape::Screenshot}, {kSilver}, "pmnScreenshot"},
      {kMeasurer, 0, {CursorShape::Measurer}, {kSilver}, "pmnMeasurerDropper"},
      {kDropper, 0, {CursorShape::Dropper}, {kBlack}, "pmnMeasurerDropper"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tool * 10 + c.magnifierCursor);
    HostFixture f;
    f.host->Settings.MagnifierCursor = static_cast<LensCursor>(c.magnifierCursor);
    f.host->StartTool(c.tool);
    EXPECT_EQ(f.window.windowCursors, c.cursors);
    const HostCanvas canvas = f.host->Tool(c.tool).Canvas();
    EXPECT_EQ(canvas.PenColor, c.canvas.PenColor);
    TPopupMenu* popup = f.host->Tool(c.tool).PopupMenu();
    if (c.popup == nullptr) {
      EXPECT_EQ(popup, nullptr);
    } else {
      ASSERT_NE(popup, nullptr);
      EXPECT_EQ(popup->Name, c.popup);
    }
  }
}

TEST(ToolRun, MagnifierStartSetsTheHalfLensAndTheIdleDraw) {
  HostFixture f;
  f.screen.cursor = {150, 90};
  f.host->Settings.ZoomWidth = 102;  // div 2 = 51, div 4 = 25
  f.host->Settings.ZoomHeight = 60;
  f.host->StartTool(kMagnifier);
  EXPECT_EQ(f.magnifier().LensRect(), (Rect{125, 75, 176, 105}));
  EXPECT_FALSE(f.log.Contains("create info window"));
  f.host->ApplicationIdle();
  const std::size_t afterFirstIdle = f.log.calls.size();
  f.host->ApplicationIdle();
  EXPECT_EQ(f.log.calls.size(), afterFirstIdle);  // one shot
  Rect frame{0, 0, 104, 62};
  OffsetRect(frame, 150 - 52, 90 - 31);
  EXPECT_EQ(f.magnifier().LensRect(), frame);
}

TEST(ToolRun, EndToolWhenIdleDoesNothing) {
  HostFixture f;
  f.log.calls.clear();
  f.registry.ClearCalls();
  f.host->EndTool();
  EXPECT_TRUE(f.log.calls.empty());
  EXPECT_TRUE(f.registry.Calls().empty());
}

TEST(ToolRun, ARunSoonAfterTheLastReusesItsMemoryButNoPicture) {
  HostFixture f;
  f.host->StartTool(kScreenshot);
  const std::size_t runMemory = f.Capture().MemoryBytes();
  const PixelValue* pixels = f.Capture().Data().data();
  f.host->EndTool();
  EXPECT_EQ(f.window.memoryTimer, TfrmHost::kRunMemoryKeptMs);
  EXPECT_EQ(f.Capture().MemoryBytes(), runMemory);
  EXPECT_TRUE(std::ranges::all_of(f.Surface().Data(), [](PixelValue p) { return p == 0; }));
  f.host->StartTool(kScreenshot);
  EXPECT_EQ(f.Capture().Data().data(), pixels);
  f.host->ReleaseRunMemory();  // the timer of an earlier run's end
  EXPECT_EQ(f.Capture().MemoryBytes(), runMemory);
  f.host->EndTool();
  f.host->ReleaseRunMemory();
  EXPECT_EQ(f.Capture().MemoryBytes(), 0u);
}

TEST(ToolRun, EndToolOrderAndCleanUp) {
  HostFixture f;
  f.host->StartTool(kMeasurer);
  f.log.calls.clear();
  f.host->EndTool();
  EXPECT_EQ(f.log.Except({"tray ", "registry "}), (std::vector<std::string>{"release desktop", "hide host"}));
  EXPECT_FALSE(f.screen.canvasHeld);
  EXPECT_TRUE(f.Capture().Empty());
  EXPECT_EQ(f.Info(), nullptr);
  EXPECT_FALSE(f.RunActive());
}

TEST(ToolRun, WaysOutOfARun) {
  struct Way {
    const char* name;
    std::function<void(HostFixture&)> act;
  };
  const std::vector<Way> ways{
      {"escape", [](HostFixture& f) { f.host->FormKeyDown(kVkEscape, 0); }},
      {"close item", [](HostFixture& f) {
         f.menus.choose = "mniClose";
         f.host->FormContextPopup({5, 5});
       }},
      {"deactivation", [](HostFixture& f) { f.host->OnApplicationDeactivate(); }},
      {"close request", [](HostFixture& f) { f.host->FormCloseQuery(); }},
  };
  for (const auto& way : ways) {
    SCOPED_TRACE(way.name);
    HostFixture f;
    f.host->StartTool(kScreenshot);
    way.act(f);
    EXPECT_FALSE(f.window.visible);
    EXPECT_TRUE(f.registry.HasKey("SOFTWARE\\Velmora\\Tarnwick\\Options"));
  }
}

// Switching to another program ends the run while its menu is open; a hot
// key may start the next run before the menu returns.
TEST(ToolRun, AMenuCommandChosenAfterItsRunEndedDoesNothing) {
  for (int tool = kScreenshot; tool <= kDropper; ++tool) {
    SCOPED_TRACE(tool);
    HostFixture f;
    f.host->StartTool(tool);
    f.menus.choose = tool == kScreenshot ? "mniClose" : "mniMeasurerClose";
    f.menus.whileOpen = [&] {
      f.host->OnApplicationDeactivate();
      f.host->StartTool(kMeasurer);
    };
    EXPECT_TRUE(f.host->FormContextPopup({5, 5}));
    // "Close" was meant for the first run: the second goes on.
    EXPECT_TRUE(f.RunActive());
    EXPECT_TRUE(f.window.visible);
    EXPECT_EQ(f.log.Count("hide host"), 1);
  }
}

TEST(ToolRun, OtherKeysDoNotEndScreenshotMeasurerDropperRuns) {
  for (int tool = 1; tool < 4; ++tool) {
    HostFixture f;
    f.host->StartTool(tool);
    f.host->FormKeyDown('A', 0);
    f.host->FormKeyDown(0x0D, 0);
    EXPECT_TRUE(f.RunActive()) << tool;
  }
}

TEST(ToolRun, InfoWindowPlacedAndItsPositionStoredPerTool) {
  HostFixture f;
  f.host->Settings.MeasurerPos = {5000, -20};
  f.host->StartTool(kMeasurer);
  ASSERT_NE(f.infoWindows.last, nullptr);
  EXPECT_EQ(f.infoWindows.masks.back(), 0x78Fu);
  EXPECT_EQ(f.infoWindows.last->position, (Point{320 - 16, -20}));
  f.Info()->MoveTo({40, 50});  // as a caption drag leaves it
  f.host->EndTool();
  EXPECT_EQ(f.host->Settings.MeasurerPos, (Point{40, 50}));
  EXPECT_EQ(f.registry.GetValue("SOFTWARE\\Velmora\\Tarnwick\\Options", "MeasurerPosX")->text, "40");
  EXPECT_EQ(f.host->Settings.ScreenshotPos, (Point{10, 10}));
}

TEST(ToolRun, RunWithoutInfoWindowStillWorks) {
  HostFixture f;
  f.infoWindows.enabled = false;
  f.host->StartTool(kDropper);
  EXPECT_TRUE(f.RunActive());
  f.host->EndTool();
  EXPECT_EQ(f.host->Settings.DropperPos, (Point{10, 10}));
}

TEST(ToolRun, FailedSaveStillEndsTheRunThenReports) {
  HostFixture f;
  f.host->StartTool(kScreenshot);
  f.registry.FailWrite("SOFTWARE\\Velmora\\Tarnwick\\Options", "Scale");
  EXPECT_THROW(f.host->EndTool(), Error);
  EXPECT_FALSE(f.RunActive());
  EXPECT_FALSE(f.window.visible);
  EXPECT_EQ(f.Info(), nullptr);
  for (int t = -1; t < 4; ++t) EXPECT_EQ(f.ShownState(t), 0) << t;
  f.host->StartTool(kScreenshot);  // and the next run can start
  EXPECT_TRUE(f.RunActive());
}

TEST(ToolRun, FailedCaptureAbandonsTheStart) {
  HostFixture f;
  f.screen.acquireSucceeds = false;
  EXPECT_THROW(f.host->StartTool(kScreenshot), Error);
  EXPECT_FALSE(f.RunActive());
  for (int t = -1; t < 4; ++t) EXPECT_EQ(f.ShownState(t), 0) << t;
  f.screen.acquireSucceeds = true;
  f.host->StartTool(kScreenshot);
  EXPECT_TRUE(f.RunActive());
}

// Selection (10, 20)-(60, 50): inner (15, 25)-(55, 45), outer (5, 15)-(65, 55).
TEST(ToolRun, HitTestSelectionZones) {
  struct Case {
    Point p;
    int zone;
  };
  const std::vector<Case> cases{
      {{4, 30}, 0},  {{5, 30}, 5},  {{14, 30}, 5}, {{15, 30}, 1}, {{54, 30}, 1}, {{55, 30}, 0},
      {{56, 30}, 6}, {{64, 30}, 6}, {{65, 30}, 0}, {{30, 14}, 0}, {{30, 15}, 3}, {{30, 24}, 3},
      {{30, 25}, 1}, {{30, 44}, 1}, {{30, 45}, 0}, {{30, 46}, 8}, {{30, 54}, 8}, {{30, 55}, 0},
      {{5, 15}, 2},  {{14, 24}, 2}, {{15, 15}, 3}, {{56, 15}, 4}, {{64, 24}, 4}, {{55, 20}, 3},
      {{5, 46}, 7},  {{14, 54}, 7}, {{56, 46}, 9}, {{64, 54}, 9}, {{55, 50}, 8}, {{10, 45}, 5},
  };
  HostFixture f;
  f.screenshot().SelectionRect = {10, 20, 60, 50};
  for (const auto& c : cases) {
    f.screen.cursor = c.p;
    EXPECT_EQ(static_cast<int>(f.screenshot().HitTestSelection()), c.zone) << c.p.x << "," << c.p.y;
  }
}

TEST(ToolRun, SetCursorTableDuringAScreenshotSelection) {
  struct Case {
    Point p;
    bool handled;
    CursorShape shape;
  };
  const std::vector<Case> cases{
      {{30, 30}, true, CursorShape::SizeAll},  {{6, 16}, true, CursorShape::SizeNWSE},
      {{60, 52}, true, CursorShape::SizeNWSE}, {{30, 16}, true, CursorShape::SizeNS},
      {{30, 52}, true, CursorShape::SizeNS},   {{60, 16}, true, CursorShape::SizeNESW},
      {{6, 52}, true, CursorShape::SizeNESW},  {{6, 30}, true, CursorShape::SizeWE},
      {{60, 30}, true, CursorShape::SizeWE},   {{100, 100}, false, CursorShape::Arrow},
  };
  HostFixture f;
  f.host->StartTool(kScreenshot);
  f.screenshot().SelectionRect = {10, 20, 60, 50};
  f.screenshot().SelectionFlag = true;
  for (const auto& c : cases) {
    f.window.cursorNow.clear();
    f.screen.cursor = c.p;
    EXPECT_EQ(f.host->OnSetCursor(true), c.handled) << c.p.x << "," << c.p.y;
    if (c.handled) EXPECT_EQ(f.window.cursorNow, std::vector<CursorShape>{c.shape});
  }
  f.screen.cursor = {30, 30};
  EXPECT_FALSE(f.host->OnSetCursor(false));  // over another window
  f.screenshot().SelectionFlag = false;
  EXPECT_FALSE(f.host->OnSetCursor(true));
}

TEST(ToolRun, SetCursorIsDefaultForOtherTools) {
  HostFixture f;
  f.host->StartTool(kDropper);
  f.screenshot().SelectionRect = {10, 20, 60, 50};
  f.screenshot().SelectionFlag = true;
  f.screen.cursor = {30, 30};
  EXPECT_FALSE(f.host->OnSetCursor(true));
}

TEST(ToolRun, LateMagnifierMessagesAfterTheRunAreHarmless) {
  HostFixture f;
  f.host->StartTool(kMagnifier);
  f.host->EndTool();
  f.host->FormMouseMove(0, 3, 3);
  f.magnifier().DrawMagnifierAtCursor();
  f.host->ApplicationIdle();
  EXPECT_TRUE(f.window.presented.size() <= 1u);  // only the show's paint
}

}  // namespace
}  // namespace tw
