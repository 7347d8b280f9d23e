// The info window: its geometry from the system's metrics, and the window
// model in a run (rows, placement, caption drag, hiding and showing).
#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "app/settings_store.h"
#include "fakes/host_fixture.h"
#include "infowin/info_layout.h"

namespace tw {
namespace {

using fakes::HostFixture;

struct LayoutCase {
  const char* name;
  InfoMetrics metrics;  // smallCaption, pixelsPerInch, default font, message font, label height
  int width;
  Rect closeButton;
  int contentTop;
  Size zoomClient;
  int captionWidth;
  int screenshotHeight;  // also 4 rows; Measurer and Dropper show 8
  int eightRowHeight;
};

const std::vector<LayoutCase> kLayoutCases{
    {"96 dpi", {17, 96, -11, -11, 13}, 220, {188, 1, 212, 16}, 22, {202, 101}, 102, 194, 246},
    {"small caption 16 (Wine)", {16, 96, -11, -11, 13}, 220, {189, 1, 212, 15}, 21, {202, 101}, 102, 193, 245},
    {"120 dpi", {21, 120, -13, -13, 16}, 273, {236, 1, 265, 19}, 26, {255, 127}, 128, 236, 300},
    {"message font -13 at 96 dpi", {17, 96, -11, -13, 16}, 258, {226, 1, 250, 16}, 22, {240, 120}, 121, 225, 289},
    // Heights of either sign are the same font, and 0 is the default.
    {"positive heights", {17, 96, 11, 11, 13}, 220, {188, 1, 212, 16}, 22, {202, 101}, 102, 194, 246},
    {"message font 0", {17, 96, -11, 0, 13}, 220, {188, 1, 212, 16}, 22, {202, 101}, 102, 194, 246},
    {"mixed signs", {17, 96, 11, -13, 16}, 258, {226, 1, 250, 16}, 22, {240, 120}, 121, 225, 289},
    {"message font 0 at 120 dpi", {21, 120, -13, 0, 16}, 273, {236, 1, 265, 19}, 26, {255, 127}, 128, 236, 300},
};

TEST(InfoLayout, GeometryFromTheMetricsStacksTheShownRowsUnclipped) {
  struct Mask {
    unsigned mask;
    std::vector<unsigned> rows;
  };
  const std::vector<Mask> masks{{kScreenshotRows, {0, 4, 5, 6}},
                                {kMeasurerRows, {0, 1, 2, 3, 7, 8, 9, 10}},
                                {kDropperRows, {0, 11, 12, 13, 14, 15, 16, 17}}};
  for (const LayoutCase& c : kLayoutCases)
    for (const Mask& m : masks) {
      SCOPED_TRACE(::testing::Message() << c.name << ", mask " << m.mask);
      const InfoLayout l = ComputeInfoLayout(c.metrics, m.mask);
      const int h = m.rows.size() == 4 ? c.screenshotHeight : c.eightRowHeight;
      EXPECT_EQ(l.window, (Size{c.width, h}));
      EXPECT_EQ(l.closeButton, c.closeButton);
      EXPECT_EQ(l.content, (Rect{4, c.contentTop, c.width - 4, h - 4}));
      EXPECT_EQ(l.zoomClient, c.zoomClient);
      EXPECT_EQ(l.zoomView, (Rect{4, 4, 4 + c.zoomClient.width + 2, 4 + c.zoomClient.height + 2}));
      EXPECT_EQ(l.captionColumn.left, 4);
      EXPECT_EQ(l.captionColumn.Width(), c.captionWidth);
      EXPECT_EQ(l.valueColumn.left, l.captionColumn.right);
      EXPECT_EQ(l.valueColumn.right, l.zoomView.right);
      EXPECT_EQ(l.captionColumn.top, l.zoomView.bottom);
      EXPECT_EQ(l.valueColumn.top, l.zoomView.bottom);
      EXPECT_LE(l.captionColumn.bottom, l.content.Height() - 4);
      EXPECT_EQ(l.dragBand, (Rect{4, 4, c.width - 4, c.metrics.smallCaption + 3}));

      std::vector<unsigned> shown;
      int top = 4;
      for (unsigned r = 0; r < kInfoRowCount; ++r) {
        const Rect& cap = l.captionLabels[r];
        const Rect& val = l.valueLabels[r];
        if (!l.rowShown[r]) {
          EXPECT_TRUE(IsRectEmpty(cap) && IsRectEmpty(val)) << r;
          continue;
        }
        shown.push_back(r);
        EXPECT_EQ(cap.top, top) << r;
        EXPECT_EQ(val.top, top) << r;
        EXPECT_EQ(cap.Height(), c.metrics.labelHeight) << r;
        EXPECT_EQ(val.Height(), c.metrics.labelHeight) << r;
        // Nothing clipped: inside the columns' borders.
        EXPECT_LE(cap.right, l.captionColumn.Width() - 4) << r;
        EXPECT_LE(val.right, l.valueColumn.Width() - 4) << r;
        EXPECT_LE(cap.bottom, l.captionColumn.Height()) << r;
        EXPECT_LE(val.bottom, l.valueColumn.Height()) << r;
        top = cap.bottom;
      }
      EXPECT_EQ(shown, m.rows);
    }
}

class InfoWindowRun : public ::testing::Test {
 protected:
  TInfoWin& Start(int tool) {
    f.host->StartTool(tool);
    if (f.Info() == nullptr) throw std::logic_error("no info window");
    return *f.Info();
  }
  fakes::FakeInfoView& View() { return *f.infoWindows.last; }
  void MoveMouse(Point p) {
    f.screen.cursor = p;
    f.host->FormMouseMove(0, p.x, p.y);
  }

  HostFixture f;
};

TEST_F(InfoWindowRun, ColourRowTakesOnlyAWholeDecimalColour) {
  TInfoWin& info = Start(kDropper);
  info.SetInfoRow(InfoRow::Color, "255");
  EXPECT_EQ(View().colors[kColorRow], 0x0000FFu);
  EXPECT_EQ(info.RowColor(kColorRow), 0x0000FFu);
  EXPECT_EQ(View().texts[kColorRow], "");
  EXPECT_EQ(info.RowText(kColorRow), "");
  for (const char* bad : {"abc", "12x", "", "-5", "99999999", "16777216", " 255", "0x10"}) {
    EXPECT_NO_THROW(info.SetInfoRow(InfoRow::Color, bad)) << bad;
    EXPECT_EQ(View().colors[kColorRow], 0x0000FFu) << bad;
    EXPECT_EQ(View().texts[kColorRow], "") << bad;
  }
  info.SetInfoRow(InfoRow::Color, "16777215");
  EXPECT_EQ(View().colors[kColorRow], 0xFFFFFFu);
}

TEST_F(InfoWindowRun, RowsOutsideTheTableAreIgnoredAndHiddenRowsKeepTheirText) {
  TInfoWin& info = Start(kScreenshot);
  const auto before = View().texts;
  for (const int row : {18, -1, 255}) {
    EXPECT_NO_THROW(info.SetInfoRow(static_cast<InfoRow>(row), "x")) << row;
    EXPECT_EQ(info.RowText(row), "") << row;
  }
  EXPECT_EQ(View().texts, before);
  info.SetInfoRow(InfoRow::Distance, "12 px");  // not a Screenshot row
  EXPECT_FALSE(View().layout.rowShown[7]);
  EXPECT_EQ(info.RowText(7), "12 px");
  EXPECT_EQ(View().texts[7], "12 px");
  info.SetInfoRow(InfoRow::SelectionStart, "x: 1\t y: 2");
  info.SetInfoRow(InfoRow::SelectionStart, "");
  EXPECT_EQ(View().texts[4], "");
}

TEST_F(InfoWindowRun, PlacementKeepsSixteenPixelsOnScreenAtRightAndBottom) {
  f.screen.size = {1920, 1080};
  struct Case {
    Point stored, placed;
  };
  for (const Case& c : std::vector<Case>{{{5000, 5000}, {1904, 1064}},
                                         {{-50, -20}, {-50, -20}},
                                         {{1904, 1064}, {1904, 1064}},
                                         {{1905, 1065}, {1904, 1064}},
                                         {{100, 5000}, {100, 1064}}}) {
    f.host->Settings.ScreenshotPos = c.stored;
    TInfoWin& info = Start(kScreenshot);
    EXPECT_EQ(info.Position(), c.placed) << c.stored.x << "," << c.stored.y;
    EXPECT_EQ(View().position, c.placed);
    f.host->EndTool();
    EXPECT_EQ(f.host->Settings.ScreenshotPos, c.placed);
  }
}

TEST_F(InfoWindowRun, CaptionDragFollowsTheCursorFreelyAndIsRememberedForTheNextRun) {
  TInfoWin& info = Start(kScreenshot);
  ASSERT_EQ(info.Position(), (Point{10, 10}));
  f.screen.cursor = {100, 100};
  info.MouseDown(MouseButton::Left, {10, 10});
  EXPECT_TRUE(info.Dragging());
  EXPECT_TRUE(View().captured);
  const std::string row0 = View().texts[0];
  f.screen.cursor = {130, 90};
  info.MouseMove({InfoPart::Window}, kLeftButton);
  EXPECT_EQ(View().position, (Point{40, 0}));
  f.screen.cursor = {0, 0};
  info.MouseMove({InfoPart::Window}, kLeftButton);
  EXPECT_EQ(View().position, (Point{-90, -90}));  // off the screen is allowed
  EXPECT_EQ(View().texts[0], row0);               // a drag is not a move over the host
  info.MouseUp();
  EXPECT_FALSE(info.Dragging());
  EXPECT_FALSE(View().captured);

  f.screen.cursor = {55, 66};
  info.MouseMove({InfoPart::Window}, 0);
  EXPECT_EQ(info.Position(), (Point{-90, -90}));
  EXPECT_EQ(View().texts[0], "x: 55\t y: 66");  // reported to the host, at the cursor

  // Losing the capture (switched away) ends the drag as well.
  info.MouseDown(MouseButton::Left, {10, 10});
  info.CaptureLost();
  f.screen.cursor = {80, 80};
  info.MouseMove({InfoPart::Window}, 0);
  EXPECT_EQ(info.Position(), (Point{-90, -90}));

  f.host->EndTool();
  EXPECT_EQ(f.host->Settings.ScreenshotPos, (Point{-90, -90}));
  Start(kScreenshot);
  EXPECT_EQ(View().position, (Point{-90, -90}));
}

TEST(InfoWindowStoredPosition, AWindowFromTheFarthestStoredPlaceDragsWithoutOverflow) {
  // Anyone may write the registry: a position at the end of the 32-bit range
  // comes back at the end of the window coordinates, from where a drag
  // across a monitor left of the primary one still adds up.
  HostFixture g(false);
  const std::string options = "SOFTWARE\\Velmora\\Tarnwick\\Options";
  g.registry.SetString(options, "ScreenshotPosX", "-2147483648");
  g.registry.SetString(options, "ScreenshotPosY", "2147483647");
  g.host->FormCreate();
  g.host->StartTool(kScreenshot);
  ASSERT_NE(g.Info(), nullptr);
  TInfoWin& info = *g.Info();
  EXPECT_EQ(info.Position(), (Point{kMinWindowCoordinate, g.screen.size.height - 16}));

  g.screen.cursor = {100, 100};
  info.MouseDown(MouseButton::Left, {10, 10});
  g.screen.cursor = {-1500, 40};
  info.MouseMove({InfoPart::Window}, kLeftButton);
  EXPECT_EQ(info.Position(), (Point{kMinWindowCoordinate - 1600, g.screen.size.height - 76}));
  info.MouseUp();
  g.host->EndTool();
  // Saved as it stands, and made usable again by the next load.
  EXPECT_EQ(g.registry.GetValue(options, "ScreenshotPosX")->text, std::to_string(kMinWindowCoordinate - 1600));
}

TEST_F(InfoWindowRun, OnlyALeftPressInTheDragBandDrags) {
  TInfoWin& info = Start(kScreenshot);  // 220 wide, small caption 17: band (4,4)-(216,20)
  struct Case {
    MouseButton button;
    Point at;
    bool drags;
  };
  int step = 0;
  for (const Case& c : std::vector<Case>{{MouseButton::Left, {4, 4}, true},
                                         {MouseButton::Left, {215, 19}, true},
                                         {MouseButton::Left, {3, 10}, false},
                                         {MouseButton::Left, {216, 10}, false},
                                         {MouseButton::Left, {10, 20}, false},
                                         {MouseButton::Left, {10, 3}, false},
                                         {MouseButton::Right, {10, 10}, false},
                                         {MouseButton::Middle, {10, 10}, false}}) {
    const int dy = 7 + step++;  // a new cursor row each time, so row 0 changes
    SCOPED_TRACE(::testing::Message() << static_cast<int>(c.button) << " at " << c.at.x << "," << c.at.y);
    info.MoveTo({10, 10});
    f.screen.cursor = {100, 100};
    info.MouseDown(c.button, c.at);
    EXPECT_EQ(info.Dragging(), c.drags);
    EXPECT_EQ(View().captured, c.drags);
    f.screen.cursor = {105, 100 + dy};
    info.MouseMove({InfoPart::Window}, 0);
    EXPECT_EQ(info.Position(), (c.drags ? Point{15, 10 + dy} : Point{10, 10}));
    if (!c.drags) EXPECT_EQ(View().texts[0], "x: 105\t y: " + std::to_string(100 + dy));
    info.MouseUp();
    EXPECT_FALSE(View().captured);
    EXPECT_TRUE(f.RunActive());
    EXPECT_FALSE(f.screenshot().Dragging);  // the tool saw no press
  }
}

TEST(InfoWindow, HiddenWindowIsStillUpdatedAndTheToolMenuShowsItAgain) {
  struct Case {
    int tool;
    const char* item;
    int row;  // one of the tool's own rows
  };
  for (const Case& c : std::vector<Case>{{kScreenshot, "mniScreenshotInfo", 4},
                                         {kMeasurer, "mniMeasurerInfo", 7},
                                         {kDropper, "mniMeasurerInfo", 12}}) {
    SCOPED_TRACE(c.item);
    HostFixture f;
    f.host->StartTool(c.tool);
    TInfoWin& info = *f.Info();
    fakes::FakeInfoView& view = *f.infoWindows.last;
    EXPECT_TRUE(view.visible);
    info.CloseClick();
    EXPECT_FALSE(view.visible);
    EXPECT_FALSE(info.Visible());

    const int shows = view.zoomShows;
    f.screen.cursor = {33, 44};
    f.host->FormMouseMove(0, 33, 44);
    EXPECT_EQ(view.texts[0], "x: 33\t y: 44");
    EXPECT_EQ(view.zoomShows, shows + 1);
    info.SetInfoRow(static_cast<InfoRow>(c.row), "kept");

    auto caption = [&] {
      for (const TMenuItem& item : f.menus.shown.back().items)
        if (item.Name == c.item) return item.Caption;
      return std::string("(missing)");
    };
    f.menus.choose = c.item;
    f.host->FormContextPopup({50, 50});
    EXPECT_EQ(caption(), "Show &info");
    EXPECT_TRUE(view.visible);
    EXPECT_EQ(view.texts[static_cast<std::size_t>(c.row)], "kept");
    f.host->FormContextPopup({50, 50});
    EXPECT_EQ(caption(), "Hide &info");
    EXPECT_FALSE(view.visible);

    // The info window's own menu hides it too; the tool menu then offers to show it.
    info.SetVisible(true);
    f.menus.choose = "mniHideInfo";
    info.ContextPopup({InfoPart::Content}, {60, 60});
    EXPECT_FALSE(view.visible);
    f.menus.choose.clear();
    f.host->FormContextPopup({50, 50});
    EXPECT_EQ(caption(), "Show &info");
  }
}

TEST(InfoWindow, ShowsTheCursorAndItsZoomBeforeAnyMove) {
  struct Case {
    int tool;
    Point cursor;
  };
  for (const Case& c : std::vector<Case>{{kScreenshot, {40, 30}}, {kMeasurer, {0, 199}}, {kDropper, {319, 7}}}) {
    SCOPED_TRACE(c.tool);
    HostFixture f;
    f.screen.cursor = c.cursor;
    f.host->StartTool(c.tool);
    const fakes::FakeInfoView& view = *f.infoWindows.last;
    const Pixmap first = view.shownZoom;
    const std::string row = view.texts[0];
    f.host->FormMouseMove(0, c.cursor.x, c.cursor.y);
    EXPECT_EQ(row, view.texts[0]);
    EXPECT_TRUE(!first.Empty() && first == view.shownZoom);
  }
}

}  // namespace
}  // namespace tw
