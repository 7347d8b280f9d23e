// The Screenshot run: the selection made with the mouse and the keys, its
// frame on the surface, the rows, and the copy and save commands.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "core/error.h"
#include "fakes/host_fixture.h"
#include "infowin/infowin.h"

namespace tw {
namespace {

constexpr PixelValue kGrey = ColorRefToPixel(kSilver);
constexpr int W = 400;  // the fake screen
constexpr int H = 300;

struct ScreenshotRun : fakes::HostFixture {
  ScreenshotRun() {
    screen.SetSize({W, H});
    host->StartTool(kScreenshot);
  }
  TScreenshot& tool() { return screenshot(); }
  void Press(int x, int y, MouseButton b = MouseButton::Left) {
    screen.cursor = {x, y};
    host->FormMouseDown(b, 0, x, y);
  }
  void Move(int x, int y) {
    screen.cursor = {x, y};
    host->FormMouseMove(0, x, y);
  }
  void Release(MouseButton b = MouseButton::Left) { host->FormMouseUp(b, 0, screen.cursor.x, screen.cursor.y); }
  void Drag(Point from, Point to) {
    Press(from.x, from.y);
    Move(to.x, to.y);
    Release();
  }
  void Key(unsigned key, ShiftState shift = 0) { host->FormKeyDown(key, shift); }
  std::string Row(InfoRow r) { return Info()->RowText(static_cast<int>(r)); }
  // The capture's inclusive rectangle, as the copy should hold it.
  Pixmap CaptureOf(const Rect& r) {
    Pixmap p(r.right - r.left + 1, r.bottom - r.top + 1);
    for (int y = r.top; y <= r.bottom; ++y)
      for (int x = r.left; x <= r.right; ++x) p.SetPixel(x - r.left, y - r.top, Capture().Pixel(x, y));
    return p;
  }
};

// The surface is the capture with exactly one frame: every pixel of the
// outline of the ordered `r` with x + y odd is grey, everything else is the
// capture's.
::testing::AssertionResult ShowsOneFrame(ScreenshotRun& f, Rect r) {
  if (r.right < r.left) std::swap(r.left, r.right);
  if (r.bottom < r.top) std::swap(r.top, r.bottom);
  const Pixmap& s = f.Surface();
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      const bool outline =
          ((y == r.top || y == r.bottom) && x >= r.left && x <= r.right) ||
          ((x == r.left || x == r.right) && y >= r.top && y <= r.bottom);
      const bool point = r.left == r.right && r.top == r.bottom;
      const PixelValue want = outline && !point && (x + y) % 2 == 1 ? kGrey : f.Capture().Pixel(x, y);
      if (s.Pixel(x, y) != want)
        return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") of frame (" << r.left << ", "
                                             << r.top << ", " << r.right << ", " << r.bottom << ")";
    }
  return ::testing::AssertionSuccess();
}

TEST(Screenshot, ADragShowsItsRowsAsMadeAndEndsInNormalForm) {
  ScreenshotRun f;
  f.Press(300, 200);
  f.Move(100, 50);
  EXPECT_EQ(f.Row(InfoRow::CursorPosition), "x: 100\t y: 50");
  EXPECT_EQ(f.Row(InfoRow::SelectionStart), "x: 300\t y: 200");
  EXPECT_EQ(f.Row(InfoRow::SelectionEnd), "x: 100\t y: 50");
  EXPECT_EQ(f.Row(InfoRow::SelectionSize), "x: 200\t y: 150");
  EXPECT_TRUE(ShowsOneFrame(f, {300, 200, 100, 50}));
  f.Release();
  EXPECT_EQ(f.tool().SelectionRect, (Rect{100, 50, 300, 200}));
  EXPECT_TRUE(f.tool().SelectionFlag);
  f.Key('C', kAlt);
  EXPECT_EQ(f.clipboard.bitmap, f.CaptureOf({100, 50, 300, 200}));
  EXPECT_EQ(f.clipboard.bitmap.Width(), 201);
  EXPECT_EQ(f.clipboard.bitmap.Height(), 151);
}

TEST(Screenshot, AClickLeavesNoSelectionAndBlankRowsUntilTheNextMove) {
  ScreenshotRun f;
  f.Drag({20, 20}, {60, 60});
  f.Press(100, 80);
  f.Release();
  EXPECT_FALSE(f.tool().SelectionFlag);
  EXPECT_EQ(f.Row(InfoRow::SelectionStart), "");
  EXPECT_EQ(f.Row(InfoRow::SelectionSize), "");
  EXPECT_TRUE(ShowsOneFrame(f, {100, 80, 100, 80}));  // the old frame is gone
  f.Move(101, 81);
  EXPECT_EQ(f.Row(InfoRow::SelectionStart), "x: 100\t y: 80");
  EXPECT_EQ(f.Row(InfoRow::SelectionEnd), "x: 100\t y: 80");
  EXPECT_EQ(f.Row(InfoRow::SelectionSize), "x: 0\t y: 0");
}

TEST(Screenshot, APressNearTheLastPointTakesItAsTheFixedCorner) {
  ScreenshotRun f;
  f.Press(50, 50);
  f.Release();
  f.Press(47, 47);  // within 5 px of the point: its top-left corner
  EXPECT_EQ(f.tool().Zone, HitZone::TopLeft);
  f.Move(80, 90);
  f.Release();
  EXPECT_EQ(f.tool().SelectionRect, (Rect{50, 50, 83, 93}));
}

// Each drag starts on the selection (100, 60, 199, 119), W x H = 400 x 300.
TEST(Screenshot, DragsInEveryZoneStayOnTheScreen) {
  struct Case {
    const char* what;
    Point press, to;
    Rect want;
  } cases[] = {
      {"new", {20, 20}, {40, 30}, {20, 20, 40, 30}},
      {"new past two edges", {20, 20}, {-30, 350}, {0, 20, 20, 299}},
      {"new past the far edges", {20, 20}, {500, -9}, {20, 0, 399, 20}},
      {"move", {150, 90}, {100, 95}, {50, 65, 149, 124}},
      {"move against the left edge", {150, 90}, {-50, 90}, {0, 60, 99, 119}},
      {"move against the top edge", {150, 90}, {150, -99}, {100, 0, 199, 59}},
      {"move against the right edge", {150, 90}, {550, 90}, {300, 60, 399, 119}},
      {"move against the bottom edge", {150, 90}, {150, 400}, {100, 240, 199, 299}},
      {"top-left corner", {100, 60}, {110, 65}, {110, 65, 199, 119}},
      {"top-left corner off the screen", {100, 60}, {-400, -400}, {0, 0, 199, 119}},
      {"top edge", {150, 58}, {150, 20}, {100, 22, 199, 119}},
      {"top-right corner", {199, 60}, {250, 70}, {100, 70, 250, 119}},
      {"left edge", {102, 90}, {80, 0}, {78, 60, 199, 119}},
      {"right edge", {199, 90}, {260, 90}, {100, 60, 260, 119}},
      {"right edge off the screen", {199, 90}, {900, 90}, {100, 60, 399, 119}},
      {"right edge past the left side", {199, 90}, {-300, 90}, {0, 60, 100, 119}},
      {"right edge pressed outside, dragged to x 0", {203, 90}, {0, 90}, {0, 60, 100, 119}},
      {"bottom-left corner", {100, 119}, {90, 150}, {90, 60, 199, 150}},
      {"bottom edge", {150, 122}, {150, 400}, {100, 60, 199, 299}},
      {"bottom edge past the top", {150, 119}, {150, -40}, {100, 0, 199, 60}},
      {"bottom-right corner", {199, 119}, {999, 999}, {100, 60, 399, 299}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ScreenshotRun f;
    f.Drag({100, 60}, {199, 119});
    f.Drag(c.press, c.to);
    EXPECT_EQ(f.tool().SelectionRect, c.want);
    EXPECT_TRUE(ShowsOneFrame(f, c.want));
  }
}

TEST(Screenshot, AnEdgePressedInsideTheBandStopsAtTheLastRow) {
  ScreenshotRun f;
  f.Drag({100, 60}, {199, H - 3});
  f.Drag({150, H - 7}, {150, H - 1});  // 4 px above the bottom edge
  EXPECT_EQ(f.tool().SelectionRect.bottom, H - 1);
  f.Drag({199, 100}, {W + 50, 100});
  EXPECT_EQ(f.tool().SelectionRect.right, W - 1);
}

TEST(Screenshot, AZeroWidthDragLeavesNoSelectionButItsLine) {
  ScreenshotRun f;
  f.Drag({40, 10}, {40, 90});
  EXPECT_FALSE(f.tool().SelectionFlag);
  EXPECT_TRUE(ShowsOneFrame(f, {40, 10, 40, 90}));
  EXPECT_EQ(f.Row(InfoRow::SelectionEnd), "");
}

TEST(Screenshot, TheFramesPhaseFollowsTheScreenNotTheRectangle) {
  for (const Rect& r : {Rect{10, 10, 20, 20}, Rect{11, 10, 21, 20}}) {
    ScreenshotRun f;
    f.Drag({r.left, r.top}, {r.right, r.bottom});
    const bool cornerGrey = (r.left + r.top) % 2 == 1;
    EXPECT_EQ(f.Surface().Pixel(r.left, r.top) == kGrey, cornerGrey);
    EXPECT_TRUE(ShowsOneFrame(f, r));
  }
}

TEST(Screenshot, RandomWorkLeavesExactlyOneFramePresentedInStrips) {
  ScreenshotRun f;
  std::mt19937 random(9);
  std::uniform_int_distribution<int> x(-20, W + 20), y(-20, H + 20);
  f.Drag({100, 60}, {199, 119});
  for (int i = 0; i < 100; ++i) {
    f.window.presented.clear();
    const int what = i % 5;
    if (what == 0) f.Press(x(random), y(random));
    if (what == 4) f.Release();
    if (what == 2) f.Key(kVkLeft + static_cast<unsigned>(i % 4), i % 3 == 0 ? kShift : 0);
    f.Move(x(random), y(random));
    for (const Rect& p : f.window.presented) EXPECT_TRUE(p.Width() == 1 || p.Height() == 1);
    ASSERT_TRUE(ShowsOneFrame(f, f.tool().SelectionRect)) << "step " << i;
  }
  // A repaint restores the capture and puts the frame back.
  f.Release();
  if (f.tool().SelectionFlag) {
    f.host->FormPaint(f.Surface().Bounds());
    EXPECT_TRUE(ShowsOneFrame(f, f.tool().SelectionRect));
  }
}

TEST(Screenshot, ArrowKeysMoveAndResizeWithinTheirLimits) {
  struct Case {
    Rect from;
    unsigned key;
    ShiftState shift;
    Rect want;
  } cases[] = {
      {{10, 10, 109, 59}, kVkLeft, 0, {9, 10, 108, 59}},
      {{0, 10, 99, 59}, kVkLeft, 0, {0, 10, 99, 59}},
      {{10, 10, 109, 59}, kVkUp, 0, {10, 9, 109, 58}},
      {{10, 0, 109, 59}, kVkUp, 0, {10, 0, 109, 59}},
      {{10, 10, 109, 59}, kVkRight, 0, {11, 10, 110, 59}},
      {{300, 10, 399, 59}, kVkRight, 0, {300, 10, 399, 59}},
      {{10, 10, 109, 59}, kVkDown, 0, {10, 11, 109, 60}},
      {{10, 240, 109, 299}, kVkDown, 0, {10, 240, 109, 299}},
      {{10, 10, 13, 59}, kVkLeft, kShift, {10, 10, 12, 59}},
      {{10, 10, 12, 59}, kVkLeft, kShift, {10, 10, 12, 59}},
      {{10, 10, 109, 13}, kVkUp, kShift, {10, 10, 109, 12}},
      {{10, 10, 109, 12}, kVkUp, kShift, {10, 10, 109, 12}},
      {{10, 10, 109, 59}, kVkRight, kShift, {10, 10, 110, 59}},
      {{10, 10, 399, 59}, kVkRight, kShift, {10, 10, 399, 59}},
      {{10, 10, 109, 59}, kVkDown, kShift, {10, 10, 109, 60}},
      {{10, 10, 109, 299}, kVkDown, kShift, {10, 10, 109, 299}},
      {{10, 10, 109, 59}, kVkLeft, kCtrl, {10, 10, 109, 59}},
      {{10, 10, 109, 59}, kVkDown, kShift | kAlt, {10, 10, 109, 59}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.key) + " " + std::to_string(c.shift));
    ScreenshotRun f;
    f.Drag({c.from.left, c.from.top}, {c.from.right, c.from.bottom});
    f.Move(300, 190);
    const int zooms = f.infoWindows.last->zoomShows;
    f.Key(c.key, c.shift);
    EXPECT_EQ(f.tool().SelectionRect, c.want);
    EXPECT_TRUE(ShowsOneFrame(f, c.want));
    EXPECT_EQ(f.Row(InfoRow::SelectionEnd), "x: " + std::to_string(c.want.right) + "\t y: " +
                                                std::to_string(c.want.bottom));
    EXPECT_EQ(f.infoWindows.last->zoomShows, zooms + 1);  // every step, changed or not
    EXPECT_EQ(f.screen.cursor, (Point{300, 190}));
  }
}

TEST(Screenshot, ArrowKeysWithoutASelectionDoNothing) {
  ScreenshotRun f;
  f.window.presented.clear();
  const int zooms = f.infoWindows.last->zoomShows;
  f.Key(kVkRight);
  f.Key(kVkDown, kShift);
  EXPECT_TRUE(f.window.presented.empty());
  EXPECT_EQ(f.infoWindows.last->zoomShows, zooms);
  EXPECT_EQ(f.tool().SelectionRect, Rect{});
}

TEST(Screenshot, CopyKeysAndMenuItemsCopyTheScreenOrTheSelection) {
  struct Case {
    const char* what;
    unsigned key;     // 0: the menu item below
    ShiftState shift;
    const char* item;
    bool selection;   // whether a selection exists
    int copies;       // bitmaps expected
    bool whole;       // the whole screen rather than the selection
  } cases[] = {
      {"Ctrl+C", 'C', kCtrl, nullptr, false, 1, true},
      {"Ctrl+Insert", kVkInsert, kCtrl, nullptr, true, 1, true},
      {"C&opy", 0, 0, "mniCopy", true, 1, true},
      {"Alt+C", 'C', kAlt, nullptr, true, 1, false},
      {"Alt+Insert", kVkInsert, kAlt, nullptr, true, 1, false},
      {"Co&py selection", 0, 0, "mniCopySelect", true, 1, false},
      {"Alt+C without a selection", 'C', kAlt, nullptr, false, 0, false},
      {"Ctrl+Alt+C", 'C', kCtrl | kAlt, nullptr, true, 0, false},
      {"plain C", 'C', 0, nullptr, true, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ScreenshotRun f;
    if (c.selection) f.Drag({30, 40}, {130, 90});
    if (c.item != nullptr) {
      f.menus.choose = c.item;
      f.host->FormContextPopup({5, 5});
    } else {
      f.Key(c.key, c.shift);
    }
    EXPECT_EQ(f.clipboard.bitmaps, c.copies);
    if (c.copies == 1)
      EXPECT_EQ(f.clipboard.bitmap, c.whole ? f.CaptureOf({0, 0, W - 1, H - 1}) : f.CaptureOf({30, 40, 130, 90}));
    EXPECT_EQ(f.app.beeps, c.key == 'C' && c.shift == kAlt && !c.selection ? 1 : 0);
  }
}

TEST(Screenshot, ACopyDuringAReselectionTakesTheOrderedRectangle) {
  ScreenshotRun f;
  f.Drag({30, 40}, {130, 90});
  f.Press(200, 150);
  f.Move(180, 120);  // inverted while the button is down
  f.Key('C', kAlt);
  EXPECT_EQ(f.clipboard.bitmap, f.CaptureOf({180, 120, 200, 150}));
}

TEST(Screenshot, AHeldClipboardFailsTheCopyAndTheRunGoesOn) {
  ScreenshotRun f;
  f.clipboard.held = true;
  EXPECT_THROW(
      try { f.Key('C', kCtrl); } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Cannot open clipboard");
        throw;
      },
      Error);
  EXPECT_TRUE(f.RunActive());
  f.clipboard.held = false;
  f.Key('C', kCtrl);
  EXPECT_EQ(f.clipboard.bitmaps, 1);
}

TEST(Screenshot, TheMenuEnablesTheSelectionCommandsOnlyWithASelection) {
  for (bool selection : {false, true}) {
    ScreenshotRun f;
    if (selection) f.Drag({30, 40}, {130, 90});
    f.host->FormContextPopup({5, 5});
    ASSERT_EQ(f.menus.shown.size(), 1u);
    for (const TMenuItem& item : f.menus.shown[0].items) {
      const bool selectionItem = item.Name == "mniCopySelect" || item.Name == "mniSaveSelect";
      EXPECT_EQ(item.Enabled, !selectionItem || selection) << item.Name;
    }
  }
}

TEST(Screenshot, SaveWritesTheChosenTypeWithTheQualitySetting) {
  ScreenshotRun f;
  f.host->Settings.JPEGQuality = 77;
  f.Drag({30, 40}, {130, 90});
  f.saveDialog.answer = SaveDialogResult{"C:\\shots\\a.png", 3};  // JPEG under a .png name
  f.Key('S', kAlt);
  ASSERT_EQ(f.images.saved.size(), 1u);
  EXPECT_EQ(f.images.saved[0].fileName, "C:\\shots\\a.png");
  EXPECT_EQ(f.images.saved[0].formatIndex, kJpegFormat);
  EXPECT_EQ(f.images.saved[0].quality, 77);
  EXPECT_EQ(f.images.saved[0].bitmap, f.CaptureOf({30, 40, 130, 90}));
  // The dialog opens on the last confirmed name and type.
  f.Key('S', kCtrl);
  ASSERT_EQ(f.saveDialog.requests.size(), 2u);
  EXPECT_EQ(f.saveDialog.requests[1].fileName, "C:\\shots\\a.png");
  EXPECT_EQ(f.saveDialog.requests[1].fileTypeIndex, 3);
  EXPECT_EQ(f.images.saved[1].bitmap, f.CaptureOf({0, 0, W - 1, H - 1}));
}

TEST(Screenshot, CancelOrNoSelectionWritesNothing) {
  ScreenshotRun f;
  f.Key('S', kAlt);  // no selection: a beep, no dialog
  EXPECT_EQ(f.app.beeps, 1);
  EXPECT_TRUE(f.saveDialog.requests.empty());
  f.Key('S', kCtrl);  // the dialog is cancelled
  EXPECT_EQ(f.saveDialog.requests.size(), 1u);
  EXPECT_TRUE(f.images.saved.empty());
  EXPECT_TRUE(f.RunActive());
}

TEST(Screenshot, ARunEndedDuringTheDialogStillSavesWhatWasChosen) {
  ScreenshotRun f;
  f.Drag({30, 40}, {130, 90});
  const Pixmap chosen = f.CaptureOf({30, 40, 130, 90});
  f.saveDialog.answer = SaveDialogResult{"C:\\a.bmp", 4};
  f.saveDialog.whileOpen = [&] { f.host->OnApplicationDeactivate(); };
  f.Key('S', kAlt);
  EXPECT_FALSE(f.RunActive());
  ASSERT_EQ(f.images.saved.size(), 1u);
  EXPECT_EQ(f.images.saved[0].bitmap, chosen);
}

TEST(SaveDialog, KeepsTheConfirmedNameAndTypeAndTheLastTypeChangesExtension) {
  fakes::CallLog log;
  fakes::FakeSaveDialog port(log);
  TSaveDialog dialog;
  ASSERT_TRUE(dialog.Execute(port) == std::nullopt);
  const SaveDialogRequest& first = port.requests[0];
  ASSERT_EQ(first.fileTypes.size(), 5u);
  EXPECT_EQ(first.fileTypes[2], (FileType{"JPEG Image (*.jpg)", "*.jpg"}));
  EXPECT_EQ(first.fileTypeIndex, 2);
  EXPECT_EQ(first.defaultExt, "png");
  // A type picked and then cancelled: the next opening keeps the type but
  // takes the extension.
  port.typeChanges = {1};
  dialog.Execute(port);
  EXPECT_EQ(port.requests[2 - 1].fileTypeIndex, 2);
  dialog.Execute(port);
  EXPECT_EQ(port.requests[2].fileTypeIndex, 2);
  EXPECT_EQ(port.requests[2].defaultExt, ".gif");
  port.typeChanges = {5};
  port.answer = SaveDialogResult{"Z:\\tmp\\b.tif", 5};
  dialog.Execute(port);
  port.typeChanges.clear();
  port.answer.reset();
  dialog.Execute(port);
  EXPECT_EQ(port.requests[4].fileTypeIndex, 5);
  EXPECT_EQ(port.requests[4].fileName, "Z:\\tmp\\b.tif");
  EXPECT_EQ(port.requests[4].defaultExt, ".tif");
}

TEST(SaveDialog, FilterTextsSplitIntoPairs) {
  EXPECT_EQ(ParseFilter("A|*.a|B|*.b"), (std::vector<FileType>{{"A", "*.a"}, {"B", "*.b"}}));
  EXPECT_EQ(ParseFilter("A|*.a|B"), (std::vector<FileType>{{"A", "*.a"}}));
  EXPECT_TRUE(ParseFilter("").empty());
}

}  // namespace
}  // namespace tw
