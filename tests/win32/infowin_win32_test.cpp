// The info window's windows and the clipboard port against the real window
// manager (under Wine in CI).
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <thread>

#include "app/host_win32.h"
#include "core/error.h"
#include "infowin/infowin_win32.h"
#include "platform/win32/application_win32.h"
#include "platform/win32/clipboard_win32.h"
#include "platform/win32/handles.h"
#include "win32/window_support.h"

namespace tw {
namespace {

using win32::testing::Pump;
using win32::testing::ScreenPixel;

std::wstring TextOf(HWND hwnd) {
  wchar_t text[128] = {};
  GetWindowTextW(hwnd, text, 128);
  return text;
}

// What the info window reports, written down; a context menu may free the
// window, as a run that ends under the menu does.
struct RecordingHost final : IInfoWindowHost {
  void InfoMouseMove(ShiftState) override { ++moves; }
  void InfoContextPopup(const InfoControl& control, Point) override {
    menus.push_back(control);
    if (onMenu) onMenu();
  }
  void InfoCopyText(const std::string& text) override { copied = text; }
  int moves = 0;
  std::vector<InfoControl> menus;
  std::string copied;
  std::function<void()> onMenu;
};

// The real host window, shown over the screen, with an info window on it.
struct InfoWindowOnHost : ::testing::Test {
  void SetUp() override {
    surface.Resize(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), 0x00204060);
    window.AttachSurface(&surface);
    window.ShowHost();
    window.Present(surface.Bounds());
  }
  void TearDown() override { window.HideHost(); }
  void Make(unsigned mask) {
    info = factory.Create(mask, host);
    info->SetVisible(true);  // as a run shows it once placed
    Pump();
  }
  HWND Window() const { return GetParent(GetParent(Column())); }
  HWND Column() const {
    // The value column: the parent of any value label.
    return GetParent(Label(ValueLabelId(0)));
  }
  HWND Label(int id) const {
    HWND found = nullptr;
    struct Find {
      int id;
      HWND* out;
    } find{id, &found};
    EnumChildWindows(
        window.Handle(),
        [](HWND hwnd, LPARAM lp) -> BOOL {
          auto* f = reinterpret_cast<Find*>(lp);
          if (GetDlgCtrlID(hwnd) != f->id) return TRUE;
          wchar_t name[32] = {};
          GetClassNameW(hwnd, name, 32);
          if (std::wstring(name) != kInfoLabelClass) return TRUE;
          *f->out = hwnd;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&find));
    return found;
  }

  win32::ApplicationPort app{GetModuleHandleW(nullptr)};
  win32::HostWindow window{GetModuleHandleW(nullptr), app};
  win32::InfoWindowFactory factory{GetModuleHandleW(nullptr), window.Handle(), {}};
  RecordingHost host;
  Pixmap surface;
  std::unique_ptr<TInfoWin> info;
};

TEST_F(InfoWindowOnHost, SizedFromWinesMetricsWithReadableRows) {
  // Wine's small caption is 16 high, one less than on Windows' classic
  // metrics, so each window is a pixel lower than there.
  ASSERT_EQ(GetSystemMetrics(SM_CYSMCAPTION), 16);
  Make(kScreenshotRows);
  RECT r{};
  GetWindowRect(Window(), &r);
  EXPECT_EQ(r.left, 8);
  EXPECT_EQ(r.top, 8);
  EXPECT_EQ(r.right - r.left, 220);
  EXPECT_EQ(r.bottom - r.top, 193);
  EXPECT_EQ(info->Layout().zoomClient, (Size{202, 101}));
  EXPECT_EQ(TextOf(Label(CaptionLabelId(4))), L"Selection start");
  EXPECT_FALSE(IsWindowVisible(Label(CaptionLabelId(1))));

  info->SetInfoRow(InfoRow::CursorPosition, "x: 3839\t y: 2159");
  EXPECT_EQ(TextOf(Label(ValueLabelId(0))), L"x: 3839\t y: 2159");
  info.reset();
  Make(kMeasurerRows);
  GetWindowRect(Window(), &r);
  EXPECT_EQ(r.bottom - r.top, 245);
  EXPECT_EQ(TextOf(Label(CaptionLabelId(10))), L"Angles (\u00B0)");
}

TEST_F(InfoWindowOnHost, PresentingTheHostLeavesTheWindowIntact) {
  Make(kDropperRows);
  info->SetInfoRow(InfoRow::Color, "255");
  Pump();
  RECT swatch{};
  GetWindowRect(Label(ValueLabelId(11)), &swatch);
  const int borderX = 8, borderY = 8 + 100;  // the left border, below the caption band
  ASSERT_EQ(ScreenPixel(borderX, borderY), RGB(0xD3, 0xD3, 0xD3));
  ASSERT_EQ(ScreenPixel(swatch.left + 5, swatch.top + 3), RGB(0xFF, 0, 0));
  // The host draws over the whole screen; its child keeps its pixels.
  surface.Fill(0x00000000);
  window.Present(surface.Bounds());
  Pump();
  EXPECT_EQ(ScreenPixel(borderX, borderY), RGB(0xD3, 0xD3, 0xD3));
  EXPECT_EQ(ScreenPixel(swatch.left + 5, swatch.top + 3), RGB(0xFF, 0, 0));
  EXPECT_EQ(ScreenPixel(600, 500), RGB(0, 0, 0));
}

TEST_F(InfoWindowOnHost, MenusCursorsAndClicksStayWithTheWindow) {
  Make(kDropperRows);
  info->SetInfoRow(InfoRow::Rgb, "255 0 0");
  const HWND rgb = Label(ValueLabelId(12));
  const HWND cursorRow = Label(ValueLabelId(0));

  // The hand over a value that a click copies, the arrow elsewhere.
  SendMessageW(rgb, WM_SETCURSOR, reinterpret_cast<WPARAM>(rgb), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HAND));
  SendMessageW(cursorRow, WM_SETCURSOR, reinterpret_cast<WPARAM>(cursorRow), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_ARROW));

  SendMessageW(rgb, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  SendMessageW(rgb, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
  EXPECT_EQ(host.copied, "255 0 0");
  SendMessageW(rgb, WM_MOUSEMOVE, 0, MAKELPARAM(4, 4));
  EXPECT_EQ(host.moves, 1);

  // A label's context menu is the window's own: the host hears of it as the
  // info window's, never as a WM_CONTEXTMENU of its own.
  SendMessageW(rgb, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(rgb), MAKELPARAM(50, 60));
  ASSERT_EQ(host.menus.size(), 1u);
  EXPECT_EQ(host.menus[0], (InfoControl{InfoPart::ValueLabel, 12}));
}

TEST_F(InfoWindowOnHost, ARunEndingUnderItsMenuFreesTheWindowSafely) {
  Make(kDropperRows);
  const HWND rgb = Label(ValueLabelId(12));
  const HWND whole = Window();
  host.onMenu = [this] { info.reset(); };  // the run ended while the menu was open
  SendMessageW(rgb, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(rgb), MAKELPARAM(50, 60));
  Pump();
  EXPECT_EQ(host.menus.size(), 1u);
  EXPECT_FALSE(IsWindow(rgb));
  EXPECT_FALSE(IsWindow(whole));
}

TEST(ClipboardWin32, TextRoundTripsAndAHeldClipboardIsReported) {
  win32::ApplicationPort app(GetModuleHandleW(nullptr));
  win32::ClipboardPort clipboard(app.Window());
  clipboard.SetText("#FF8000 \xC2\xB0");
  ASSERT_TRUE(OpenClipboard(nullptr));
  const HANDLE data = GetClipboardData(CF_UNICODETEXT);
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(std::wstring(static_cast<const wchar_t*>(GlobalLock(data))), L"#FF8000 \u00B0");
  GlobalUnlock(data);
  CloseClipboard();

  // Held open elsewhere (another thread stands for another program).
  HANDLE opened = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::thread holder([&] {
    OpenClipboard(nullptr);
    SetEvent(opened);
    WaitForSingleObject(release, 10000);
    CloseClipboard();
  });
  WaitForSingleObject(opened, 10000);
  try {
    clipboard.SetText("lost");
    ADD_FAILURE() << "a held clipboard was written";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "Cannot open clipboard");
  }
  SetEvent(release);
  holder.join();
  CloseHandle(opened);
  CloseHandle(release);
}

}  // namespace
}  // namespace tw
