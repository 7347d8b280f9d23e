// Preferences: the controls' values to and from the settings, the texts, the
// calibrator ruler, the scaled layout, and the host's sequence around it.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "app/preferences/setup.h"
#include "fakes/host_fixture.h"

namespace tw {
namespace {

using fakes::HostFixture;

const std::string kOptions = "SOFTWARE\\Velmora\\Tarnwick\\Options";

TEST(Setup, CopyInLimitsAsTheControlsDoAndCopyOutStoresWhatTheyShow) {
  const struct {
    const char* what;
    void (*set)(TSettings&);
    bool (*shown)(const SetupValues&);
    bool (*stored)(const TSettings&);
  } cases[] = {
      {"ZoomWidth 105", [](TSettings& s) { s.ZoomWidth = 105; },
       [](const SetupValues& v) { return v.width == 10; }, [](const TSettings& s) { return s.ZoomWidth == 100; }},
      {"ZoomHeight 2000", [](TSettings& s) { s.ZoomHeight = 2000; },
       [](const SetupValues& v) { return v.height == 160; }, [](const TSettings& s) { return s.ZoomHeight == 1600; }},
      {"ZoomWidth 7", [](TSettings& s) { s.ZoomWidth = 7; },
       [](const SetupValues& v) { return v.width == 5; }, [](const TSettings& s) { return s.ZoomWidth == 50; }},
      {"Scale 4096", [](TSettings& s) { s.Scale = 4096; },
       [](const SetupValues& v) { return v.zoom == 10; }, [](const TSettings& s) { return s.Scale == 10; }},
      {"MagnifierCursor -5", [](TSettings& s) { s.MagnifierCursor = LensCursor{-5}; },
       [](const SetupValues& v) { return v.magnifierCursor == -1; },
       [](const TSettings& s) { return s.MagnifierCursor == LensCursor{-1}; }},
      {"HighContrast 200", [](TSettings& s) { s.HighContrast = ContrastLevel{200}; },
       [](const SetupValues& v) { return v.highContrast == 2; }, [](const TSettings& s) { return s.HighContrast == ContrastLevel::High; }},
      {"DPI 10", [](TSettings& s) { s.DPI = 10; }, [](const SetupValues& v) { return v.dpi == 25; },
       [](const TSettings& s) { return s.DPI == 25; }},
      // Not cut to 16 bits: 70000 would be 4464.
      {"DPI 70000", [](TSettings& s) { s.DPI = 70000; }, [](const SetupValues& v) { return v.dpi == 9999; },
       [](const TSettings& s) { return s.DPI == 9999; }},
      {"JPEGQuality 0", [](TSettings& s) { s.JPEGQuality = 0; },
       [](const SetupValues& v) { return v.jpegQuality == 1; }, [](const TSettings& s) { return s.JPEGQuality == 1; }},
      {"icons 0b1010", [](TSettings& s) { s.IconFlags = 0xA; },
       [](const SetupValues& v) { return v.trayIcons == std::array<bool, 4>{false, true, false, true}; },
       [](const TSettings& s) { return s.IconFlags == 0xA; }},
      {"AutoStart off", [](TSettings& s) { s.AutoStart = false; },
       [](const SetupValues& v) { return !v.autoStart; }, [](const TSettings& s) { return !s.AutoStart; }},
  };
  for (const auto& c : cases) {
    TSettings settings;
    c.set(settings);
    TfrmSetup form;
    form.CopyIn(settings);
    EXPECT_TRUE(c.shown(form.Values)) << c.what;
    TSettings out;
    out.IconFlags = 0xF;
    form.CopyOut(out);
    EXPECT_TRUE(c.stored(out)) << c.what;
  }
}

TEST(Setup, HotKeyFieldsMapBothWaysAndAnUntouchedFieldKeepsItsCode) {
  // Ctrl+Alt+M is 0xC04D, stored as "49229".
  EXPECT_EQ(ShortcutToHotKeyField(0xC04D), (HotKeyFieldValue{'M', kHotKeyFieldCtrl | kHotKeyFieldAlt}));
  EXPECT_EQ(HotKeyFieldToShortcut({'M', kHotKeyFieldCtrl | kHotKeyFieldAlt}), 49229);
  EXPECT_EQ(HotKeyFieldToShortcut({0x70, kHotKeyFieldShift | kHotKeyFieldExtended}), 0x2070);  // the flag dropped
  EXPECT_EQ(HotKeyFieldToShortcut({}), 0);
  EXPECT_EQ(HotKeyFieldToShortcut({0, kHotKeyFieldCtrl}), 0);  // modifiers alone are no hot key

  TSettings settings;
  settings.MagnifierKey = 0x1155;  // bits above the key byte: the field shows 0x55
  settings.ScreenshotKey = 0x4053;
  TfrmSetup form;
  form.CopyIn(settings);
  EXPECT_EQ(form.Values.hotKeys[0], (HotKeyFieldValue{0x55, 0}));
  form.Values.hotKeys[1] = {'Q', kHotKeyFieldAlt};
  form.Values.hotKeys[2] = {};
  TSettings out;
  form.CopyOut(out);
  EXPECT_EQ(out.MagnifierKey, 0x1155);  // not rewritten as the plain key 0x55
  EXPECT_EQ(out.ScreenshotKey, 0x8051);
  EXPECT_EQ(out.MeasurerKey, 0);
}

TEST(Setup, ValueLabelsAndTheNumberFieldsKeyFilter) {
  TfrmSetup form;
  form.Values.width = 5;
  form.Values.height = 160;
  form.Values.zoom = 10;
  EXPECT_EQ(form.WidthValueText(), "50 pix");
  EXPECT_EQ(form.HeightValueText(), "1600 pix");
  EXPECT_EQ(form.ZoomValueText(), "x10");
  for (char32_t ch : {U'0', U'9', U'.', char32_t{8}}) EXPECT_TRUE(TfrmSetup::KeyPasses(ch)) << int(ch);
  for (char32_t ch : {U'a', U',', U'-', U' ', char32_t{13}, char32_t{22}, U'\u0661'})
    EXPECT_FALSE(TfrmSetup::KeyPasses(ch)) << int(ch);
}

TEST(Setup, TheCalibratorRulerMarksInchesAboveAndCentimetresBelow) {
  const struct {
    std::int32_t dpi;
    std::vector<int> inches, cms;
  } cases[] = {
      {96, {8, 104}, {8, 46, 84, 121}},
      {48, {8, 56, 104}, {8, 27, 46, 65, 84, 102, 121}},
      {25, {8, 33, 58, 83, 108}, {8, 18, 28, 38, 47, 57, 67, 77, 87, 97, 106, 116}},
      {9999, {8}, {8}},
      {0, {}, {}},
      {-3, {}, {}},
  };
  for (const auto& c : cases) {
    const RulerPlan plan = PlanCalibratorRuler({133, 49}, c.dpi);
    EXPECT_EQ(plan.inchMarks, c.inches) << c.dpi;
    EXPECT_EQ(plan.cmMarks, c.cms) << c.dpi;
    EXPECT_EQ(plan.numbers.size(), c.inches.size() + c.cms.size()) << c.dpi;
  }
  const RulerPlan plan = PlanCalibratorRuler({133, 49}, 96);
  ASSERT_EQ(plan.lines.size(), 7u);
  EXPECT_EQ(plan.lines[0].a, (Point{8, 24}));  // the base line
  EXPECT_EQ(plan.lines[0].b, (Point{125, 24}));
  EXPECT_EQ(plan.lines[2].b, (Point{104, 16}));  // inch 1, upwards
  EXPECT_EQ(plan.lines[6].b, (Point{121, 32}));  // centimetre 3, downwards
  EXPECT_EQ(plan.numbers[1].text, "1");
  EXPECT_TRUE(plan.numbers[1].above);
  EXPECT_EQ(plan.numbers[1].y, 16);
  EXPECT_EQ(plan.numbers[5].text, "3");
  EXPECT_FALSE(plan.numbers[5].above);
  EXPECT_EQ(plan.numbers[5].y, 33);
}

TEST(Setup, TheLayoutScalesByTheMessageFont) {
  const SetupLayout design = ScaleSetupLayout(-11);
  EXPECT_EQ(design.client, (Size{424, 368}));
  // Bounds relative to a group come out in the dialog's client area.
  EXPECT_EQ(design[SetupControl::htkMeasurer], (Rect{92, 140, 197, 159}));
  EXPECT_EQ(design[SetupControl::pnlCalibrator], (Rect{60, 220, 197, 273}));
  EXPECT_EQ(design[SetupControl::rbCursorCross], (Rect{332, 216, 393, 233}));
  EXPECT_EQ(design[SetupControl::btnCancel], (Rect{332, 328, 409, 353}));
  // The value labels keep their right edges.
  EXPECT_EQ(design[SetupControl::lblWidthValue].right, 220 + 139 + 35);
  EXPECT_EQ(design[SetupControl::lblZoomValue].right, 220 + 163 + 12);
  EXPECT_EQ(ScaleSetupLayout(0).bounds, design.bounds);  // no font read: the design

  const SetupLayout big = ScaleSetupLayout(-16);
  EXPECT_EQ(big.client, (Size{617, 535}));
  EXPECT_EQ(big[SetupControl::btnCancel], (Rect{483, 477, 595, 513}));
  // A control inside a group stays where the scaled group puts it.
  EXPECT_EQ(big[SetupControl::htkMeasurer].left, 134);
  EXPECT_EQ(big[SetupControl::htkMeasurer].top, 204);
  EXPECT_EQ(SetupHelpTopic(SetupControl::edtDPI), 31);
  EXPECT_EQ(SetupHelpTopic(SetupControl::lblDPI), 0);
}

TEST(SetupHelp, EveryTopicOfTheDialogHasItsOwnText) {
  const std::string_view general = SetupHelpText(0);
  EXPECT_EQ(SetupHelpText(99), general);
  std::set<std::string_view> texts;
  for (int c = 0; c < kSetupControlCount; ++c)
    if (const int topic = SetupHelpTopic(static_cast<SetupControl>(c)); topic != 0) {
      EXPECT_NE(SetupHelpText(topic), general) << "topic " << topic;
      texts.insert(SetupHelpText(topic));
    }
  EXPECT_EQ(texts.size(), 13u);  // the dialog's topics, each told apart
}

// --- the host around the dialog ---

struct PreferencesFixture : HostFixture {
  PreferencesFixture() {
    host->Settings.MagnifierKey = 0xC04D;
    host->Settings.IconFlags = 0;
    host->UpdateTrayIcons();
    registry.ClearCalls();
    log.calls.clear();
  }
  void ExpectWorking(const char* when) {
    EXPECT_TRUE(ToolsEnabled()) << when;
    EXPECT_EQ(hotkeys.Press(kModControl | kModAlt, 'M'), 0) << when;
    for (int t = -1; t < 4; ++t) EXPECT_EQ(ShownState(t), 0) << when << " icon " << t;
  }
};

TEST(Preferences, WhileTheDialogIsOpenNothingStartsAndItemsAreGrey) {
  PreferencesFixture f;
  bool checked = false;
  f.dialogs.whileSetupOpen = [&] {
    checked = true;
    EXPECT_FALSE(f.ToolsEnabled());
    EXPECT_FALSE(f.hotkeys.Press(kModControl | kModAlt, 'M').has_value());
    for (int t = -1; t < 4; ++t) EXPECT_EQ(f.ShownState(t), 2) << t;
    f.host->pmnTrayPopup();
    for (const char* item : {"mniMagnifier", "mniDropper", "mniAbout", "mniPreferences"})
      EXPECT_FALSE(f.host->pmnTray.Find(item)->Enabled) << item;
    EXPECT_TRUE(f.host->pmnTray.Find("mniExit")->Enabled);
    f.host->xtiMouseUp(f.host->TrayIcon(kMeasurer), MouseButton::Left, 0, 0, 0);
    EXPECT_FALSE(f.RunActive());
  };
  f.host->pmnTray.Find("mniPreferences")->OnClick(*f.host->pmnTray.Find("mniPreferences"));
  EXPECT_TRUE(checked);
  EXPECT_EQ(f.log.IndexOf("hotkey unregister 3") < f.log.IndexOf("setup show"), true);
  EXPECT_EQ(f.dialogs.shownSetup->hotKeys[0], (HotKeyFieldValue{'M', kHotKeyFieldCtrl | kHotKeyFieldAlt}));
  f.ExpectWorking("after Cancel");
}

TEST(Preferences, CancelAndAQuitSaveNothingButRestoreEverything) {
  for (bool quit : {false, true}) {
    PreferencesFixture f;
    if (quit) f.dialogs.whileSetupOpen = [&] { f.host->mniExitClick(); };
    f.host->mniPreferencesClick();
    EXPECT_TRUE(f.registry.CallsOf("write").empty()) << quit;
    EXPECT_LT(f.log.IndexOf("setup cancel"), f.log.IndexOf("hotkey register 0 3 77")) << quit;
    f.ExpectWorking(quit ? "after a quit" : "after Cancel");
  }
}

TEST(Preferences, OkStoresSavesThenRegistersTheNewKeysAndIcons) {
  PreferencesFixture f;
  SetupValues answer = f.dialogs.setupAnswer.emplace();
  answer.hotKeys[0] = {'N', kHotKeyFieldCtrl};
  answer.trayIcons = {true, false, false, true};
  answer.dpi = 120;
  f.dialogs.setupAnswer = answer;
  f.host->mniPreferencesClick();
  EXPECT_EQ(f.host->Settings.MagnifierKey, 0x404E);
  EXPECT_EQ(f.host->Settings.DPI, 120);
  const auto writes = f.registry.CallsOf("write");
  EXPECT_NE(std::find(writes.begin(), writes.end(), kOptions + "\\MagnifierKey=16462"), writes.end());
  const int saved = f.log.IndexOf("registry write " + kOptions + "\\DPI=120");
  ASSERT_GE(saved, 0);
  EXPECT_LT(saved, f.log.IndexOf("hotkey register 0 2 78"));
  EXPECT_EQ(f.hotkeys.Press(kModControl, 'N'), 0);
  EXPECT_FALSE(f.hotkeys.Press(kModControl | kModAlt, 'M').has_value());
  EXPECT_TRUE(f.host->TrayIcon(kMagnifier).Active());
  EXPECT_TRUE(f.host->TrayIcon(kDropper).Active());
  EXPECT_FALSE(f.host->TrayIcon(-1).Active());
}

TEST(Preferences, AFailedSaveOrDialogStillRestoresThenShowsTheError) {
  for (bool dialogFails : {false, true}) {
    PreferencesFixture f;
    if (dialogFails) {
      f.dialogs.setupFailure = "Cannot show the dialog";
    } else {
      f.registry.FailWrite(kOptions, "ZoomWidth");
      SetupValues answer;
      answer.width = 20;
      answer.hotKeys[0] = {'M', kHotKeyFieldCtrl | kHotKeyFieldAlt};
      f.dialogs.setupAnswer = answer;
    }
    f.host->mniPreferencesClick();
    ASSERT_EQ(f.app.errors.size(), 1u) << dialogFails;
    const int error = f.log.IndexOf("error: " + f.app.errors[0]);
    EXPECT_LT(f.log.IndexOf("hotkey register 0 3 77"), error) << dialogFails;
    f.ExpectWorking(dialogFails ? "after a dialog failure" : "after a failed save");
    // The new values stay in memory for the next save.
    if (!dialogFails) EXPECT_EQ(f.host->Settings.ZoomWidth, 200);
  }
}

}  // namespace
}  // namespace tw
