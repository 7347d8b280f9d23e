// The About box and the welcome shown by the real dialog manager at a message
// font larger than the design's, the link's cursor, click and beep, and the
// keys that close them.
#include "app/about/about_win32.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/win32/application_win32.h"
#include "platform/win32/message_font.h"

namespace tw::win32 {
namespace {

// Shows `dialog` and runs `act` once from inside its modal loop, as soon as
// it is shown: a thread timer looks for it, so the dialog knows nothing of
// the test. A dialog that `act` does not end is cancelled after 5 s, and
// ShowModal's result comes back.
bool ShowAndAct(DialogBase& dialog, HWND owner, const std::function<void(HWND)>& act, bool* timedOut) {
  static struct {
    const DialogBase* dialog;
    const std::function<void(HWND)>* act;
    bool acted;
    ULONGLONG start;
    bool* timedOut;
  } run;
  run = {&dialog, &act, false, GetTickCount64(), timedOut};
  *timedOut = false;
  const UINT_PTR timer = SetTimer(nullptr, 0, 10, [](HWND, UINT, UINT_PTR, DWORD) {
    const HWND d = run.dialog->Handle();
    if (d == nullptr || IsWindowVisible(d) == FALSE) return;
    if (!run.acted) {
      run.acted = true;
      (*run.act)(d);
    } else if (GetTickCount64() - run.start > 5000) {
      *run.timedOut = true;
      PostMessageW(d, WM_COMMAND, IDCANCEL, 0);
    }
  });
  const bool confirmed = dialog.ShowModal(owner);
  KillTimer(nullptr, timer);
  return confirmed;
}

std::wstring TextOf(HWND window) {
  wchar_t text[1024] = {};
  GetWindowTextW(window, text, 1024);
  return text;
}

// A control's rectangle in its dialog's client area.
Rect PlaceOf(HWND control) {
  RECT r{};
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
  return {r.left, r.top, r.right, r.bottom};
}

LOGFONTW FontOf(HWND control) {
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
  return font;
}

class AboutWin32 : public ::testing::Test {
 protected:
  BrandDialogSetup SetupFor(LONG height, INT_PTR linkResult = 33) {
    BrandDialogSetup setup;
    setup.messageFont = MessageFont();
    setup.messageFont.lfHeight = height;
    setup.openLink = [this, linkResult](HWND parent, const wchar_t* verb, const wchar_t* file, int show) {
      links.push_back(std::to_wstring(parent == shown) + L" " + verb + L" " + file + L" " + std::to_wstring(show));
      return linkResult;
    };
    setup.beep = [this] { ++beeps; };
    return setup;
  }
  // Shows the dialog, looks at it with `look`, cancels it.
  void Look(BrandDialog& dialog, const std::function<void(HWND)>& look) {
    bool timedOut = false;
    ShowAndAct(dialog, app.Window(), [&](HWND d) {
      shown = d;
      look(d);
      PostMessageW(d, WM_COMMAND, IDCANCEL, 0);
    }, &timedOut);
    EXPECT_NE(shown, nullptr) << "the dialog never showed";
    EXPECT_FALSE(timedOut);
    EXPECT_TRUE(errors.empty());
  }

  ApplicationPort app{GetModuleHandleW(nullptr)};
  std::vector<std::string> errors;
  ErrorDisplay display = [this](const std::string& m) { errors.push_back(m); };
  HWND shown = nullptr;
  std::vector<std::wstring> links;
  int beeps = 0;
};

TEST_F(AboutWin32, TheBoxGrowsWithTheMessageFontAndItsNameAndLinkFollow) {
  TfrmAbout about(GetModuleHandleW(nullptr), display, SetupFor(-16));
  Look(about, [&](HWND d) {
    RECT client{};
    GetClientRect(d, &client);
    EXPECT_EQ(client.right, 547);
    EXPECT_EQ(client.bottom, 316);
    EXPECT_EQ(GetWindow(d, GW_OWNER), app.Window());
    EXPECT_EQ(PlaceOf(GetDlgItem(d, IDOK)), (Rect{128, 256, 246, 292}));
    EXPECT_EQ(GetFocus(), GetDlgItem(d, IDOK));
    const HWND name = about.Control(BrandControlId(AboutControl::lblTarnwick));
    const HWND link = about.Control(BrandControlId(AboutControl::lblURL));
    const HWND version = about.Control(BrandControlId(AboutControl::lblVersion));
    EXPECT_EQ(TextOf(version), L"version 1.6");
    EXPECT_EQ(FontOf(name).lfHeight, -35);
    EXPECT_STREQ(FontOf(name).lfFaceName, MessageFont().lfFaceName);
    EXPECT_EQ(FontOf(link).lfHeight, -16);
    EXPECT_TRUE(FontOf(link).lfUnderline);
    EXPECT_FALSE(FontOf(version).lfUnderline);
    // The labels sized to their texts, all inside the box: the description fits.
    for (AboutControl c : {AboutControl::lblTarnwick, AboutControl::lblDescription, AboutControl::lblURL}) {
      const Rect r = PlaceOf(about.Control(BrandControlId(c)));
      EXPECT_GT(r.Width(), 0) << static_cast<int>(c);
      EXPECT_LE(r.right, client.right - 8) << static_cast<int>(c);
    }
    // The band 95 pixels wide and the link blue, as painted.
    UpdateWindow(d);
    HDC dc = GetDC(d);
    EXPECT_EQ(GetPixel(dc, 94, client.bottom - 1), 0xC0DCC0u);
    EXPECT_EQ(GetPixel(dc, 95, 4), GetSysColor(COLOR_BTNFACE));
    const Rect at = PlaceOf(link);
    int blue = 0;
    for (int y = at.top; y < at.bottom; ++y)
      for (int x = at.left; x < at.right; ++x) blue += GetPixel(dc, x, y) == 0xFF0000 ? 1 : 0;
    EXPECT_GE(blue, at.Width()) << "not even the underline is blue";
    ReleaseDC(d, dc);
  });
}

TEST_F(AboutWin32, TheWelcomeGrowsAndItsParagraphsStillFitTheirLabel) {
  TfrmFirstRun welcome(GetModuleHandleW(nullptr), display, SetupFor(-16));
  Look(welcome, [&](HWND d) {
    RECT client{};
    GetClientRect(d, &client);
    EXPECT_EQ(client.right, 656);
    EXPECT_EQ(client.bottom, 420);
    const HWND label = welcome.Control(BrandControlId(FirstRunControl::Label1));
    EXPECT_EQ(PlaceOf(label), (Rect{128, 116, 570, 327}));
    EXPECT_EQ(GetWindowLongPtrW(label, GWL_STYLE) & SS_TYPEMASK, SS_LEFT);  // a wrapping label
    const std::wstring text = TextOf(label);
    RECT need{0, 0, 442, 0};
    HDC dc = GetDC(label);
    const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &need, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(label, dc);
    EXPECT_LE(need.bottom, 211) << "the text wraps to more lines than the label shows";
  });
}

TEST_F(AboutWin32, TheLinkShowsTheHandAndOpensWithTheShellOrBeeps) {
  for (INT_PTR result : {2, 32, 33}) {
    links.clear();
    beeps = 0;
    TfrmAbout about(GetModuleHandleW(nullptr), display, SetupFor(-11, result));
    Look(about, [&](HWND d) {
      const HWND link = about.Control(BrandControlId(AboutControl::lblURL));
      const HWND version = about.Control(BrandControlId(AboutControl::lblVersion));
      EXPECT_EQ(SendMessageW(link, WM_NCHITTEST, 0, 0), HTCLIENT) << "the link would not hear the mouse";
      EXPECT_TRUE(SendMessageW(d, WM_SETCURSOR, reinterpret_cast<WPARAM>(link), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
      EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HAND));
      EXPECT_FALSE(SendMessageW(d, WM_SETCURSOR, reinterpret_cast<WPARAM>(version), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
      for (HWND clicked : {version, link}) {
        SendMessageW(clicked, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        SendMessageW(clicked, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
      }
    });
    // Once, parent the box, "open", no parameters, the default show command.
    EXPECT_EQ(links, std::vector<std::wstring>{L"1 open https://tarnwick.example/ 10"}) << result;
    EXPECT_EQ(beeps, result <= 32 ? 1 : 0) << result;
  }
}

TEST_F(AboutWin32, EnterAndEscapeCloseBothDialogs) {
  for (WPARAM key : {WPARAM{VK_RETURN}, WPARAM{VK_ESCAPE}}) {
    for (bool isWelcome : {false, true}) {
      TfrmAbout about(GetModuleHandleW(nullptr), display, SetupFor(-11));
      TfrmFirstRun welcome(GetModuleHandleW(nullptr), display, SetupFor(-11));
      BrandDialog& dialog = isWelcome ? static_cast<BrandDialog&>(welcome) : about;
      bool timedOut = false;
      // The key as the keyboard brings it to the focus; the dialog manager
      // makes the command of it.
      const bool confirmed = ShowAndAct(dialog, app.Window(), [key](HWND) {
        PostMessageW(GetFocus(), WM_KEYDOWN, key, 1);
        PostMessageW(GetFocus(), WM_KEYUP, key, 0xC0000001);
      }, &timedOut);
      EXPECT_FALSE(timedOut) << key << " did not close " << (isWelcome ? "the welcome" : "the About box");
      EXPECT_EQ(confirmed, key == VK_RETURN);
    }
  }
}

}  // namespace
}  // namespace tw::win32
