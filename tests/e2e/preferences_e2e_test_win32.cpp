// Preferences from the tray menu: what its controls show of the stored
// options, what OK changes at once, and what Cancel and Exit leave alone.
#include <map>

#include "app/preferences/setup.h"
#include "e2e/dialog_view_win32.h"
#include "e2e/tarnwick_fixture_win32.h"

#include <commctrl.h>

namespace e2e {
namespace {

using tw::SetupControl;

constexpr wchar_t kOptionsKey[] = L"SOFTWARE\\Velmora\\Tarnwick\\Options";
constexpr wchar_t kCaption[] = L"Tarnwick Preferences";

std::map<std::wstring, std::wstring> StoredOptions() {
  std::map<std::wstring, std::wstring> options;
  for (const std::wstring& name : RegistryValueNames(kOptionsKey))
    if (const auto value = ReadRegistryValue(kOptionsKey, name)) options[name] = value->text;
  return options;
}

class Preferences : public TarnwickTest {
 protected:
  void SetUp() override {
    std::string error;
    for (const auto& [name, text] : std::map<std::wstring, std::wstring>{
             {L"ZoomWidth", L"105"}, {L"DPI", L"70000"}, {L"JPEGQuality", L"0"}, {L"HighContrast", L"200"},
             {L"MagnifierKey", L"49229"}})  // Ctrl+Alt+M
      ASSERT_TRUE(WriteRegistryText(kOptionsKey, name, text, &error)) << error;
    ASSERT_NO_FATAL_FAILURE(Launch(true, L""));
  }

  void OpenPreferences() {
    ASSERT_NO_FATAL_FAILURE(ChooseFromTrayMenu('P'));
    std::optional<WindowInfo> found;
    ASSERT_TRUE(WaitUntil(
        [&] {
          found = FindTopLevelWindow(Pid(), [](const WindowInfo& w) { return w.visible && w.title == kCaption; });
          return found.has_value();
        },
        kReactionLimit))
        << "no \"Tarnwick Preferences\"; " << Seen();
    dialog_ = found->hwnd;
  }

  HWND Item(SetupControl c) const {
    const int id = c == SetupControl::btnOk       ? IDOK
                   : c == SetupControl::btnCancel ? IDCANCEL
                                                  : tw::kSetupFirstControlId + static_cast<int>(c);
    return GetDlgItem(dialog_, id);
  }
  LRESULT Send(SetupControl c, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return SendMessageW(Item(c), msg, wParam, lParam);
  }
  bool Checked(SetupControl c) const { return Send(c, BM_GETCHECK) == BST_CHECKED; }
  std::wstring Text(SetupControl c) const {
    wchar_t text[64] = {};
    SendMessageW(Item(c), WM_GETTEXT, 64, reinterpret_cast<LPARAM>(text));
    return text;
  }
  void ClickOn(SetupControl c) {
    RECT r{};
    GetWindowRect(Item(c), &r);
    std::string error;
    ASSERT_TRUE(Click(Centre(r), false, &error)) << error;
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == dialog_; }, kReactionLimit)) << Seen();
  }
  // The calibrator has its base line and the dialog its last control: the
  // whole dialog has painted.
  bool RulerDrawn() const {
    const RECT panel = ClientRectOnScreen(Item(SetupControl::pnlCalibrator));
    const int y0 = panel.top + (panel.bottom - panel.top) / 2;
    RECT cancel{};
    GetWindowRect(Item(SetupControl::btnCancel), &cancel);
    const ScreenShot shot = ScreenShot::TakeAll();
    return shot.At(panel.left + 20, y0) == 0 && shot.At(cancel.left + 1, cancel.top + 1) != shot.At(cancel.left - 4, cancel.top - 4);
  }
  void WaitForDialogClosed() {
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog_); }, kReactionLimit)) << Seen();
  }

  HWND dialog_ = nullptr;
};

TEST_F(Preferences, ShowsTheStoredOptionsAndCancelLeavesTheRegistryAlone) {
  ASSERT_NO_FATAL_FAILURE(OpenPreferences());
  const auto before = StoredOptions();
  EXPECT_EQ(Send(SetupControl::trbWidth, TBM_GETPOS), 10);
  EXPECT_EQ(Text(SetupControl::lblWidthValue), L"100 pix");
  EXPECT_EQ(Send(SetupControl::trbZoom, TBM_GETPOS), 2);
  EXPECT_EQ(Send(SetupControl::udnDPI, UDM_GETPOS32, 0, 0), 9999);  // 32 bits, limited by the control
  EXPECT_EQ(Send(SetupControl::udnJPEGQuality, UDM_GETPOS32, 0, 0), 1);
  EXPECT_TRUE(Checked(SetupControl::rbHighContrastHigh));
  EXPECT_TRUE(Checked(SetupControl::rbCursorNone));
  EXPECT_EQ(Send(SetupControl::htkMagnifier, HKM_GETHOTKEY), MAKEWORD('M', HOTKEYF_CONTROL | HOTKEYF_ALT));
  EXPECT_FALSE(Checked(SetupControl::chbMagnifier));
  EXPECT_TRUE(Checked(SetupControl::chbAutoStart));

  // The Magnifier's hot key is the field's now, not the tool's.
  ASSERT_NO_FATAL_FAILURE(ClickOn(SetupControl::htkScreenshot));
  PressKeys({VK_CONTROL, VK_MENU, 'M'});
  ASSERT_TRUE(WaitUntil(
      [&] { return Send(SetupControl::htkScreenshot, HKM_GETHOTKEY) == MAKEWORD('M', HOTKEYF_CONTROL | HOTKEYF_ALT); },
      kReactionLimit));
  // Alt+G goes into the field and does not tick "Ma&gnifier".
  PressKeys({VK_MENU, 'G'});
  ASSERT_TRUE(WaitUntil([&] { return Send(SetupControl::htkScreenshot, HKM_GETHOTKEY) == MAKEWORD('G', HOTKEYF_ALT); },
                        kReactionLimit));
  Pause(kQuietPeriod);
  EXPECT_FALSE(Checked(SetupControl::chbMagnifier));
  EXPECT_FALSE(HostShown()) << Seen();

  PressKey(VK_ESCAPE);
  ASSERT_NO_FATAL_FAILURE(WaitForDialogClosed());
  EXPECT_EQ(StoredOptions(), before);
  // Hot keys work again once it closed.
  PressKeys({VK_CONTROL, VK_MENU, 'M'});
  WindowInfo host;
  ASSERT_NO_FATAL_FAILURE(WaitForHostShown(&host));
  PressKey(VK_ESCAPE);
  ASSERT_NO_FATAL_FAILURE(WaitForHostHidden());
}

// Nothing stored: the dialog the README shows, on the defaults.
class PreferencesOnDefaults : public Preferences {
 protected:
  void SetUp() override { ASSERT_NO_FATAL_FAILURE(Launch(true, L"")); }
};

TEST_F(PreferencesOnDefaults, ShowsTheDefaultsWithTheRuler) {
  ASSERT_NO_FATAL_FAILURE(OpenPreferences());
  ASSERT_TRUE(WaitUntil([&] { return RulerDrawn(); }, kReactionLimit)) << "no ruler; " << Seen();
  RECT frame{};
  GetWindowRect(dialog_, &frame);
  SaveDocumentationPicture(frame, L"preferences.png");
  EXPECT_EQ(Send(SetupControl::udnDPI, UDM_GETPOS32, 0, 0), 96);
  EXPECT_EQ(Send(SetupControl::udnJPEGQuality, UDM_GETPOS32, 0, 0), 50);
  EXPECT_EQ(Text(SetupControl::lblWidthValue), L"100 pix");
  EXPECT_TRUE(Checked(SetupControl::chbAutoStart));
}

TEST_F(PreferencesOnDefaults, F1ShowsTheControlsHelpBesideItAndAHotKeyFieldKeepsItsKey) {
  ASSERT_NO_FATAL_FAILURE(OpenPreferences());
  const auto helpPopup = [&] {
    return FindTopLevelWindow(Pid(), [](const WindowInfo& w) { return w.visible && w.className == L"TarnwickHelpPopup"; });
  };
  // A key closes the first popup, a click the second.
  for (const bool byKey : {true, false}) {
    ASSERT_NO_FATAL_FAILURE(ClickOn(SetupControl::edtDPI));
    PressKey(VK_F1);
    std::optional<WindowInfo> popup;
    ASSERT_TRUE(WaitUntil([&] { return (popup = helpPopup()).has_value(); }, kReactionLimit)) << Seen();
    EXPECT_EQ(Narrow(popup->title), tw::SetupHelpText(31));
    std::string error;
    if (byKey)
      PressKey(VK_SPACE);
    else
      ASSERT_TRUE(Click({popup->rect.left + 3, popup->rect.top + 3}, false, &error)) << error;
    ASSERT_TRUE(WaitUntil([&] { return !helpPopup().has_value(); }, kReactionLimit)) << "the help stays; " << Seen();
  }
  EXPECT_EQ(Send(SetupControl::udnDPI, UDM_GETPOS32, 0, 0), 96);  // neither went to the field

  ASSERT_NO_FATAL_FAILURE(ClickOn(SetupControl::htkMagnifier));
  PressKey(VK_F1);
  ASSERT_TRUE(WaitUntil([&] { return helpPopup().has_value(); }, kReactionLimit)) << Seen();
  PressKey(VK_ESCAPE);
  ASSERT_TRUE(WaitUntil([&] { return !helpPopup().has_value(); }, kReactionLimit)) << Seen();
  EXPECT_EQ(Send(SetupControl::htkMagnifier, HKM_GETHOTKEY), 0);
  EXPECT_TRUE(IsWindow(dialog_)) << "the Escape that closed the help closed the dialog too";
}

TEST_F(Preferences, OkTakesEffectAtOnce) {
  ASSERT_NO_FATAL_FAILURE(OpenPreferences());
  ASSERT_NO_FATAL_FAILURE(ClickOn(SetupControl::htkMagnifier));
  PressKeys({VK_CONTROL, VK_MENU, 'N'});
  ASSERT_TRUE(WaitUntil(
      [&] { return Send(SetupControl::htkMagnifier, HKM_GETHOTKEY) == MAKEWORD('N', HOTKEYF_CONTROL | HOTKEYF_ALT); },
      kReactionLimit));
  ASSERT_NO_FATAL_FAILURE(ClickOn(SetupControl::chbDropper));
  ASSERT_TRUE(WaitUntil([&] { return Checked(SetupControl::chbDropper); }, kReactionLimit));
  // A letter in the DPI field is refused; a number redraws the ruler.
  ASSERT_NO_FATAL_FAILURE(ClickOn(SetupControl::edtDPI));
  PressKeys({VK_CONTROL, 'A'});
  PressKey('4');
  PressKey('8');
  PressKey('X');
  ASSERT_TRUE(WaitUntil([&] { return Text(SetupControl::edtDPI) == L"48"; }, kReactionLimit))
      << Narrow(Text(SetupControl::edtDPI));
  const RECT panel = ClientRectOnScreen(Item(SetupControl::pnlCalibrator));
  // The inch mark at 56, one pixel wide, black; none at 104 - 48 / 2.
  const int y0 = panel.top + (panel.bottom - panel.top) / 2;
  ASSERT_TRUE(WaitUntil([&] { return ScreenShot::Take(panel).At(panel.left + 56, y0 - 4) == 0; }, kReactionLimit));
  EXPECT_NE(ScreenShot::Take(panel).At(panel.left + 80, y0 - 4), 0u);

  PressKey(VK_RETURN);
  ASSERT_NO_FATAL_FAILURE(WaitForDialogClosed());
  // Saved just after the dialog closed; "AutoStart" comes last.
  ASSERT_TRUE(WaitUntil([] { return ReadRegistryValue(kOptionsKey, L"AutoStart").has_value(); }, kReactionLimit));
  const auto stored = StoredOptions();
  EXPECT_EQ(stored.at(L"MagnifierKey"), L"49230");
  EXPECT_EQ(stored.at(L"DropperIcon"), L"1");
  EXPECT_EQ(stored.at(L"DPI"), L"48");
  EXPECT_EQ(stored.at(L"ZoomWidth"), L"100");
  // The new tray icon is there at once, the main icon gone.
  std::vector<TrayIcon> icons;
  ASSERT_TRUE(WaitUntil(
      [&] {
        icons = TrayIcons();
        return icons.size() == 1 && icons[0].tip == L"Dropper";
      },
      kReactionLimit, 200ms))
      << Describe(icons);
  // The old hot key starts nothing, the new one the Magnifier.
  PressKeys({VK_CONTROL, VK_MENU, 'M'});
  Pause(kQuietPeriod);
  EXPECT_FALSE(HostShown()) << Seen();
  PressKeys({VK_CONTROL, VK_MENU, 'N'});
  WindowInfo host;
  ASSERT_NO_FATAL_FAILURE(WaitForHostShown(&host));
  PressKey(VK_ESCAPE);
  ASSERT_NO_FATAL_FAILURE(WaitForHostHidden());
}

TEST_F(Preferences, ExitWhileItIsOpenEndsTheProgramAndSavesNothing) {
  ASSERT_NO_FATAL_FAILURE(OpenPreferences());
  const auto before = StoredOptions();
  ASSERT_NO_FATAL_FAILURE(ClickOn(SetupControl::chbDropper));
  ASSERT_NO_FATAL_FAILURE(ChooseFromTrayMenu('X'));
  const auto code = tarnwick_.WaitForExit(kReactionLimit);
  ASSERT_TRUE(code.has_value()) << Seen();
  EXPECT_EQ(*code, 0u);
  EXPECT_EQ(StoredOptions(), before);
}

// The session ends while the dialog is open: it counts as Cancel.
TEST_F(Preferences, TheSessionsEndWhileItIsOpenSavesNothing) {
  const auto before = StoredOptions();
  ASSERT_NO_FATAL_FAILURE(OpenPreferences());
  EndTheSession();
  EXPECT_EQ(StoredOptions(), before);
}

}  // namespace
}  // namespace e2e
