// The host's info window menu: what it offers where, the zoom factor, copying,
// and a run that ends while the menu is open.
#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/error.h"
#include "fakes/host_fixture.h"

namespace tw {
namespace {

using fakes::HostFixture;

const std::string kOptions = "SOFTWARE\\Velmora\\Tarnwick\\Options";

std::vector<std::string> VisibleNames(const std::vector<TMenuItem>& items) {
  std::vector<std::string> names;
  for (const TMenuItem& item : items)
    if (item.Visible) names.push_back(item.Name);
  return names;
}

std::vector<std::string> CheckedNames(const std::vector<TMenuItem>& items) {
  std::vector<std::string> names;
  for (const TMenuItem& item : items)
    if (item.Checked) names.push_back(item.Name);
  return names;
}

const TMenuItem& ItemNamed(const std::vector<TMenuItem>& items, const std::string& name) {
  for (const TMenuItem& item : items)
    if (item.Name == name) return item;
  throw std::logic_error("no item " + name);
}

class InfoMenu : public ::testing::Test {
 protected:
  TInfoWin& Start(int tool) {
    f.host->StartTool(tool);
    if (f.Info() == nullptr) throw std::logic_error("no info window");
    return *f.Info();
  }
  // Opens pmnInfoWin on `control`, picking `choose`; the items as shown.
  const std::vector<TMenuItem>& Popup(TInfoWin& info, const InfoControl& control, const std::string& choose = "") {
    f.menus.choose = choose;
    info.ContextPopup(control, {30, 40});
    return f.menus.shown.back().items;
  }
  void MoveMouse(Point p) {
    f.screen.cursor = p;
    f.host->FormMouseMove(0, p.x, p.y);
  }

  HostFixture f;
};

TEST_F(InfoMenu, OffersWhatFitsTheControlItWasOpenedOn) {
  TInfoWin& info = Start(kDropper);
  const std::vector<std::string> zoom{"mniHideInfo", "mniInfoSep", "mniZoom2", "mniZoom3", "mniZoom5", "mniZoom10"};
  const std::vector<std::string> copy{"mniHideInfo", "mniInfoSep", "mniCopyInfo"};
  const std::vector<std::string> hideOnly{"mniHideInfo"};
  struct Case {
    InfoControl control;
    const std::vector<std::string>& visible;
  };
  // Alternating, so that an item left visible by the last opening shows.
  for (const Case& c : std::vector<Case>{{{InfoPart::ZoomView}, zoom},
                                         {{InfoPart::ValueLabel, 12}, copy},
                                         {{InfoPart::CaptionLabel, 12}, hideOnly},
                                         {{InfoPart::ZoomView}, zoom},
                                         {{InfoPart::ValueLabel, 0}, hideOnly},
                                         {{InfoPart::ValueLabel, 17}, copy},
                                         {{InfoPart::ValueLabel, 11}, hideOnly},
                                         {{InfoPart::CaptionLabel, 0}, hideOnly},
                                         {{InfoPart::ValueLabel, 13}, copy},
                                         {{InfoPart::Content}, hideOnly},
                                         {{InfoPart::ValueColumn}, hideOnly},
                                         {{InfoPart::Window}, hideOnly}}) {
    SCOPED_TRACE(::testing::Message() << "part " << static_cast<int>(c.control.part) << " row " << c.control.row);
    const auto& items = Popup(info, c.control);
    EXPECT_EQ(f.menus.shown.back().menu, "pmnInfoWin");
    EXPECT_EQ(VisibleNames(items), c.visible);
    EXPECT_EQ(CheckedNames(items), std::vector<std::string>{"mniZoom2"});
  }
}

TEST_F(InfoMenu, CopyIsGreyedUnlessAColourIsHeld) {
  TInfoWin& info = Start(kDropper);
  info.SetInfoRow(InfoRow::RgbHex, "FF0000");
  EXPECT_FALSE(ItemNamed(Popup(info, {InfoPart::ValueLabel, 13}, "mniCopyInfo"), "mniCopyInfo").Enabled);
  EXPECT_EQ(f.clipboard.text, "");
  f.dropper().SelectionFlag = true;
  EXPECT_TRUE(ItemNamed(Popup(info, {InfoPart::ValueLabel, 13}, "mniCopyInfo"), "mniCopyInfo").Enabled);
  EXPECT_EQ(f.clipboard.text, "FF0000");
}

TEST_F(InfoMenu, ClickOnACopyableValueCopiesItAndAHeldClipboardIsReported) {
  TInfoWin& info = Start(kDropper);  // no colour held
  info.SetInfoRow(InfoRow::Rgb, "255, 0, 0");
  info.SetInfoRow(InfoRow::CursorPosition, "x: 1\t y: 2");
  info.ValueClick(0);  // not a colour value
  EXPECT_EQ(f.clipboard.text, "");
  info.ValueClick(12);
  EXPECT_EQ(f.clipboard.text, "255, 0, 0");

  f.clipboard.held = true;
  info.SetInfoRow(InfoRow::Rgb, "0, 255, 0");
  for (int attempt = 0; attempt < 2; ++attempt) {  // by a click, then through the menu
    f.dropper().SelectionFlag = attempt == 1;
    try {
      if (attempt == 0) info.ValueClick(12);
      else Popup(info, {InfoPart::ValueLabel, 12}, "mniCopyInfo");
      ADD_FAILURE() << "no error, attempt " << attempt;
    } catch (const Error& e) {
      EXPECT_STREQ(e.what(), "Cannot open clipboard");
    }
    EXPECT_TRUE(f.RunActive());
  }
  EXPECT_EQ(f.clipboard.text, "255, 0, 0");
  MoveMouse({70, 80});  // the run goes on
  EXPECT_EQ(f.infoWindows.last->texts[0], "x: 70\t y: 80");
}

TEST_F(InfoMenu, ZoomChoiceShowsAtTheNextMoveAndIsSavedAtTheRunsEnd) {
  TInfoWin& info = Start(kDropper);
  MoveMouse({160, 100});
  const Pixmap before = info.ZoomBitmap();
  const int shows = f.infoWindows.last->zoomShows;

  Popup(info, {InfoPart::ZoomView}, "mniZoom5");
  EXPECT_EQ(f.host->Settings.InfoScale, 5);
  EXPECT_EQ(CheckedNames(f.host->pmnInfoWin.Items), std::vector<std::string>{"mniZoom5"});
  EXPECT_TRUE(info.ZoomBitmap() == before);
  EXPECT_EQ(f.infoWindows.last->zoomShows, shows);

  MoveMouse({160, 100});
  EXPECT_EQ(f.infoWindows.last->zoomShows, shows + 1);
  // 202 / 5 = 40 source columns from x = 140, 101 / 5 = 20 rows from y = 90;
  // row 0 is clear of the cross-hair.
  const Pixmap& zoom = f.infoWindows.last->shownZoom;
  std::set<PixelValue> columns;
  for (int i = 0; i < zoom.Width(); ++i) columns.insert(zoom.Pixel(i, 0));
  EXPECT_EQ(columns.size(), 40u);
  EXPECT_EQ(zoom.Pixel(0, 0), f.Surface().Pixel(140, 90));
  EXPECT_EQ(zoom.Pixel(201, 0), f.Surface().Pixel(179, 90));
  EXPECT_EQ(CheckedNames(Popup(info, {InfoPart::ZoomView})), std::vector<std::string>{"mniZoom5"});

  f.host->EndTool();
  ASSERT_TRUE(f.registry.GetValue(kOptions, "InfoScale").has_value());
  EXPECT_EQ(f.registry.GetValue(kOptions, "InfoScale")->text, "5");
}

TEST_F(InfoMenu, CheckMarkMatchesTheStoredFactorAtRunStart) {
  struct Case {
    int scale;
    std::vector<std::string> checked;
  };
  for (const Case& c : std::vector<Case>{
           {10, {"mniZoom10"}}, {3, {"mniZoom3"}}, {7, {}}, {5, {"mniZoom5"}}, {2, {"mniZoom2"}}}) {
    SCOPED_TRACE(c.scale);
    f.host->Settings.InfoScale = c.scale;
    TInfoWin& info = Start(kScreenshot);
    EXPECT_EQ(CheckedNames(Popup(info, {InfoPart::ZoomView})), c.checked);
    f.host->EndTool();
  }
}

TEST(InfoMenuRunEnd, DeactivationWhileTheMenuIsOpenEndsTheRunAndTheChoiceDoesNothing) {
  struct Case {
    const char* item;
    InfoControl control;
  };
  for (const Case& c : std::vector<Case>{{"mniHideInfo", {InfoPart::ZoomView}},
                                         {"mniZoom5", {InfoPart::ZoomView}},
                                         {"mniZoom10", {InfoPart::ZoomView}},
                                         {"mniCopyInfo", {InfoPart::ValueLabel, 12}}}) {
    SCOPED_TRACE(c.item);
    HostFixture f;
    f.host->StartTool(kDropper);
    TInfoWin* info = f.Info();
    ASSERT_NE(info, nullptr);
    info->SetInfoRow(InfoRow::Rgb, "255, 0, 0");
    f.dropper().SelectionFlag = true;
    f.menus.whileOpen = [&] { f.host->OnApplicationDeactivate(); };
    f.menus.choose = c.item;
    info->ContextPopup(c.control, {30, 40});  // frees `info` meanwhile
    EXPECT_FALSE(f.RunActive());
    EXPECT_EQ(f.Info(), nullptr);
    EXPECT_EQ(f.host->Settings.InfoScale, 2);
    EXPECT_EQ(CheckedNames(f.host->pmnInfoWin.Items), std::vector<std::string>{"mniZoom2"});
    EXPECT_EQ(f.clipboard.text, "");
    EXPECT_EQ(f.registry.GetValue(kOptions, "InfoScale")->text, "2");
    f.menus.whileOpen = nullptr;
    f.host->StartTool(kDropper);  // the next run is unaffected
    EXPECT_TRUE(f.RunActive());
    EXPECT_NE(f.Info(), nullptr);
  }
}

TEST(InfoMenuRunEnd, MagnifierRunHasNoInfoWindowAndTheMenuActionsDoNothing) {
  HostFixture f;
  f.host->StartTool(kMagnifier);
  f.host->ApplicationIdle();
  EXPECT_EQ(f.Info(), nullptr);
  EXPECT_TRUE(f.infoWindows.masks.empty());
  for (const Point p : {Point{0, 0}, Point{160, 100}, Point{319, 199}}) {
    f.screen.cursor = p;
    f.host->FormMouseMove(0, p.x, p.y);
  }
  f.host->pmnInfoWinPopup();
  f.host->mniHideInfoClick();
  f.host->mniCopyInfoClick();
  EXPECT_TRUE(f.RunActive());
  EXPECT_EQ(f.clipboard.text, "");
  EXPECT_EQ(f.Info(), nullptr);
}

}  // namespace
}  // namespace tw
