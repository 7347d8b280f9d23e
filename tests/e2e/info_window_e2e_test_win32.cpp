// The info window of the Screenshot, Measurer and Dropper runs, seen from
// outside: its place and size, its rows (window texts), the caption drag and
// the remembered places, the zoom view's factor menu, hiding and showing.
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "e2e/dialog_view_win32.h"
#include "e2e/tarnwick_fixture_win32.h"
#include "e2e/test_picture_win32.h"
#include "infowin/infowin_ids.h"

namespace e2e {
namespace {

constexpr RECT kPictureArea{420, 150, 820, 450};
constexpr POINT kInPicture{620, 300};
constexpr wchar_t kOptions[] = L"SOFTWARE\\Velmora\\Tarnwick\\Options";

std::vector<HWND> ChildrenOfClass(HWND parent, const wchar_t* className) {
  struct Search {
    const wchar_t* className;
    std::vector<HWND> found;
  } search{className, {}};
  EnumChildWindows(
      parent,
      [](HWND hwnd, LPARAM lp) -> BOOL {
        auto* s = reinterpret_cast<Search*>(lp);
        wchar_t name[64] = {};
        GetClassNameW(hwnd, name, 64);
        if (std::wstring(name) == s->className) s->found.push_back(hwnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

RECT WindowRect(HWND hwnd) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  return r;
}

std::wstring TextOf(HWND hwnd) {
  wchar_t text[256] = {};
  GetWindowTextW(hwnd, text, 256);
  return text;
}

// The info window as another program sees it.
struct InfoWindow {
  HWND window = nullptr;
  HWND zoom = nullptr;
  std::vector<HWND> labels;

  [[nodiscard]] RECT Rect() const { return WindowRect(window); }
  [[nodiscard]] bool Visible() const { return IsWindowVisible(window) != FALSE; }
  [[nodiscard]] HWND Label(int id) const {
    for (HWND l : labels)
      if (GetDlgCtrlID(l) == id) return l;
    return nullptr;
  }
  [[nodiscard]] std::wstring Value(int row) const { return TextOf(Label(tw::ValueLabelId(row))); }
  // The captions of the rows shown, top to bottom.
  [[nodiscard]] std::vector<std::wstring> ShownCaptions() const {
    std::vector<std::pair<LONG, std::wstring>> shown;
    for (int row = 0; row < 18; ++row)
      if (HWND l = Label(tw::CaptionLabelId(row)); l != nullptr && IsWindowVisible(l))
        shown.emplace_back(WindowRect(l).top, TextOf(l));
    std::sort(shown.begin(), shown.end());
    std::vector<std::wstring> captions;
    for (auto& s : shown) captions.push_back(s.second);
    return captions;
  }
};

// The settings are saved just after the host hides: wait for the value.
std::wstring SavedOption(const wchar_t* name, const std::wstring& want) {
  std::optional<RegistryValue> value;
  WaitUntil([&] { return (value = ReadRegistryValue(kOptions, name)) && value->text == want; }, kReactionLimit);
  return value ? value->text : L"(missing)";
}

std::wstring PointText(POINT p) { return L"x: " + std::to_wstring(p.x) + L"\t y: " + std::to_wstring(p.y); }

class InfoWindowTest : public TarnwickTest {
 protected:
  // Starts a run from the tray menu and finds its one info window.
  void StartRun(WORD mnemonic, InfoWindow* info) {
    ASSERT_NO_FATAL_FAILURE(ChooseFromTrayMenu(mnemonic));
    ASSERT_NO_FATAL_FAILURE(WaitForHostShown(&host_));
    // Found once it is complete: it shows itself at the end of its making.
    std::vector<HWND> windows;
    ASSERT_TRUE(WaitUntil(
        [&] {
          windows = ChildrenOfClass(host_.hwnd, tw::kInfoWindowClass);
          return !windows.empty() && IsWindowVisible(windows[0]);
        },
        kReactionLimit))
        << "no info window shown in the host; " << Seen();
    ASSERT_EQ(windows.size(), 1u) << "more than one info window; " << Seen();
    info->window = windows[0];
    const auto zooms = ChildrenOfClass(info->window, tw::kZoomViewClass);
    ASSERT_EQ(zooms.size(), 1u);
    info->zoom = zooms[0];
    info->labels = ChildrenOfClass(info->window, tw::kInfoLabelClass);
    ASSERT_EQ(info->labels.size(), 36u);
  }

  void EndRun() {
    PressKey(VK_ESCAPE);
    ASSERT_NO_FATAL_FAILURE(WaitForHostHidden());
  }

  // Drags the window by its caption from (10, 10) to (110, 60).
  void DragByTheCaption(const InfoWindow& info) {
    std::string error;
    ASSERT_TRUE(MoveMouse({40, 18}, &error)) << error;
    MouseButtonHere(true);
    ASSERT_TRUE(MoveMouse({90, 40}, &error)) << error;
    ASSERT_TRUE(MoveMouse({140, 68}, &error)) << error;
    MouseButtonHere(false);
    ASSERT_TRUE(WaitUntil([&] { return info.Rect().left == 110 && info.Rect().top == 60; }, kReactionLimit))
        << "after a drag by (100, 50) the window is at " << Describe(info.Rect());
  }

  // Moves the pointer and waits for the cursor row to follow.
  void MoveTo(const InfoWindow& info, POINT to) {
    std::string error;
    ASSERT_TRUE(MoveMouse(to, &error)) << error;
    ASSERT_TRUE(WaitUntil([&] { return info.Value(0) == PointText(to); }, kReactionLimit))
        << "the cursor row reads \"" << Narrow(info.Value(0)) << "\" with the cursor at " << to.x << "," << to.y;
  }

  // Opens `owner`'s context menu at `at` and clicks the item captioned
  // `caption`; the items as shown come back in `items`.
  void ChooseFromContextMenu(POINT at, const std::wstring& caption, std::vector<MenuItem>* items) {
    std::string error;
    ASSERT_TRUE(Click(at, true, &error)) << error;
    std::optional<WindowInfo> menu;
    ASSERT_TRUE(WaitUntil([&] { return (menu = VisiblePopupMenu(Pid())).has_value(); }, kReactionLimit))
        << "no context menu at " << at.x << "," << at.y << "; " << Seen();
    ASSERT_NO_FATAL_FAILURE(ReadMenu(*menu, items));
    for (const MenuItem& item : *items)
      if (item.Caption() == caption) {
        // Wine's menu now and then lets a click on a highlighted item go
        // by (the menu stays open, the item lit): the item is clicked again
        // while that same menu is still open.
        for (int attempt = 0; attempt < 3; ++attempt) {
          if (attempt > 0 && !IsWindowVisible(menu->hwnd)) break;
          ASSERT_TRUE(Click(Centre(item.rect), false, &error)) << error;
          if (WaitUntil([&] { return !VisiblePopupMenu(Pid()); }, Millis(1000))) break;
        }
        ASSERT_NO_FATAL_FAILURE(WaitForMenuClosed());
        return;
      }
    FAIL() << "no item \"" << Narrow(caption) << "\" in" << Describe(*items);
  }

  // Every zoom view pixel against the picture magnified `factor` times
  // around `at`; the cross-hair pixels are the picture's inverted by
  // 0xC0C0C0. Returns the first difference, or an empty text.
  static std::string CheckZoom(const InfoWindow& info, POINT at, int factor, int pattern) {
    const RECT view = ClientRectOnScreen(info.zoom);
    const int cw = view.right - view.left, ch = view.bottom - view.top;
    const int sw = cw / factor, sh = ch / factor;
    const int left = at.x - sw / 2, top = at.y - sh / 2;
    const auto shot = ScreenShot::Take(view);
    for (int j = 0; j < ch; ++j)
      for (int i = 0; i < cw; ++i) {
        COLORREF want = TestPicture::Expected(pattern, left + i * sw / cw, top + j * sh / ch);
        const bool vertical = i == cw / 2 && j >= ch / 2 - 9 && j < ch / 2 + 9;
        const bool horizontal = j == ch / 2 && i >= cw / 2 - 9 && i < cw / 2 + 9;
        if (vertical != horizontal) want ^= 0xC0C0C0;
        const COLORREF seen = shot.At(view.left + i, view.top + j);
        if (seen != want)
          return "view pixel (" + std::to_string(i) + "," + std::to_string(j) + ") of " + std::to_string(cw) + "x" +
                 std::to_string(ch) + " at factor " + std::to_string(factor) + " is " + Hex(seen) + ", not " +
                 Hex(want);
      }
    return {};
  }

  // The view is drawn just after the cursor row, and Wine puts it on the
  // screen a moment later: waits for it, and says what was seen last.
  static std::string ZoomShows(const InfoWindow& info, POINT at, int factor, int pattern) {
    std::string seen;
    WaitUntil([&] { return (seen = CheckZoom(info, at, factor, pattern)).empty(); }, kReactionLimit);
    return seen;
  }

  WindowInfo host_;
};

// The width and heights the program computes from the system's metrics,
// which this process, on the same desktop, reads as well.
int ExpectedWidth() {
  HDC screen = GetDC(nullptr);
  const int ppi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  const int hd = MulDiv(8, ppi, 72);
  const int hm = metrics.lfMessageFont.lfHeight != 0 ? std::abs(metrics.lfMessageFont.lfHeight) : hd;
  return ppi * 212 * hm / (hd * 96) + 8;
}

TEST_F(InfoWindowTest, EachRunShowsOneWindowOfTheComputedSizeWithItsRows) {
  InfoWindow info;
  ASSERT_NO_FATAL_FAILURE(StartRun('S', &info));
  const RECT r = info.Rect();
  EXPECT_EQ(r.left, 10);
  EXPECT_EQ(r.top, 10);
  const int width = ExpectedWidth();
  // One line of the message font, as the program measured it for the rows.
  const RECT firstRow = WindowRect(info.Label(tw::CaptionLabelId(0)));
  const RECT lastRow = WindowRect(info.Label(tw::CaptionLabelId(6)));
  const int labelHeight = (lastRow.bottom - firstRow.top) / 4;
  EXPECT_EQ(lastRow.bottom - lastRow.top, labelHeight) << "rows of unequal height";
  const int zoomHeight = (width - 18) / 2 + 2;
  const int sc = GetSystemMetrics(SM_CYSMCAPTION);
  EXPECT_EQ(r.right - r.left, width);
  EXPECT_EQ(r.bottom - r.top, sc + zoomHeight + 4 * labelHeight + 22) << "small caption " << sc;
  const RECT zoom = ClientRectOnScreen(info.zoom);
  EXPECT_EQ(zoom.right - zoom.left, width - 18);
  EXPECT_EQ(zoom.bottom - zoom.top, (width - 18) / 2);
  EXPECT_EQ(info.ShownCaptions(),
            (std::vector<std::wstring>{L"Cursor position", L"Selection start", L"Selection end", L"Selection size"}));
  ASSERT_NO_FATAL_FAILURE(MoveTo(info, {300, 500}));
  ASSERT_NO_FATAL_FAILURE(EndRun());
  // Freed right after the host hides.
  EXPECT_TRUE(WaitUntil([&] { return ChildrenOfClass(host_.hwnd, tw::kInfoWindowClass).empty(); }, kReactionLimit))
      << "the info window outlived its run";

  ASSERT_NO_FATAL_FAILURE(StartRun('M', &info));
  EXPECT_EQ(info.Rect().bottom - info.Rect().top, sc + zoomHeight + 8 * labelHeight + 22);
  EXPECT_EQ(info.ShownCaptions(),
            (std::vector<std::wstring>{L"Cursor position", L"Offset", L"Offset (inch)", L"Offset (mm)", L"Distance",
                                       L"Distance (inch)", L"Distance (mm)", L"Angles (\u00B0)"}));
  ASSERT_NO_FATAL_FAILURE(EndRun());

  // The Magnifier has none.
  ASSERT_NO_FATAL_FAILURE(ChooseFromTrayMenu('G'));
  ASSERT_NO_FATAL_FAILURE(WaitForHostShown(&host_));
  Pause(kQuietPeriod);
  EXPECT_TRUE(ChildrenOfClass(host_.hwnd, tw::kInfoWindowClass).empty()) << Seen();
}

TEST_F(InfoWindowTest, ADragByTheCaptionIsRememberedForThatToolAlone) {
  InfoWindow info;
  ASSERT_NO_FATAL_FAILURE(StartRun('S', &info));
  ASSERT_NO_FATAL_FAILURE(DragByTheCaption(info));
  EXPECT_TRUE(HostShown()) << "the drag ended the run; " << Seen();
  ASSERT_NO_FATAL_FAILURE(EndRun());
  EXPECT_EQ(SavedOption(L"ScreenshotPosX", L"110"), L"110");
  EXPECT_EQ(SavedOption(L"ScreenshotPosY", L"60"), L"60");

  ASSERT_NO_FATAL_FAILURE(StartRun('D', &info));
  EXPECT_EQ(info.Rect().left, 10) << "the Dropper keeps its own place";
  EXPECT_EQ(info.Rect().top, 10);
  ASSERT_NO_FATAL_FAILURE(EndRun());
  ASSERT_NO_FATAL_FAILURE(StartRun('S', &info));
  EXPECT_EQ(info.Rect().left, 110);
  EXPECT_EQ(info.Rect().top, 60);
}

// The session ends in the middle of the run: the run ends as any run ends.
TEST_F(InfoWindowTest, TheSessionsEndDuringARunKeepsTheDraggedPlace) {
  InfoWindow info;
  ASSERT_NO_FATAL_FAILURE(StartRun('S', &info));
  ASSERT_NO_FATAL_FAILURE(DragByTheCaption(info));
  EndTheSession();
  EXPECT_EQ(SavedOption(L"ScreenshotPosX", L"110"), L"110");
  EXPECT_EQ(SavedOption(L"ScreenshotPosY", L"60"), L"60");
}

TEST_F(InfoWindowTest, TheZoomMenuChangesTheFactorAtTheNextMoveAndIsSaved) {
  TestPicture picture(kPictureArea, 1);
  ASSERT_TRUE(WaitUntil([&] { return picture.OnScreen(1); }, 5s));
  InfoWindow info;
  ASSERT_NO_FATAL_FAILURE(StartRun('S', &info));
  ASSERT_NO_FATAL_FAILURE(MoveTo(info, kInPicture));
  EXPECT_EQ(ZoomShows(info, kInPicture, 2, 1), "");

  std::vector<MenuItem> items;
  ASSERT_NO_FATAL_FAILURE(ChooseFromContextMenu(Centre(ClientRectOnScreen(info.zoom)), L"x5", &items));
  std::vector<std::wstring> captions;
  std::wstring checked;
  for (const MenuItem& item : items) {
    captions.push_back(item.Separator() ? L"-" : item.Caption());
    if ((item.state & MFS_CHECKED) != 0) checked += item.Caption();
  }
  EXPECT_EQ(captions, (std::vector<std::wstring>{L"Hide &info", L"-", L"x2", L"x3", L"x5", L"x10"}));
  EXPECT_EQ(checked, L"x2");

  ASSERT_NO_FATAL_FAILURE(MoveTo(info, kInPicture));
  EXPECT_EQ(ZoomShows(info, kInPicture, 5, 1), "");
  ASSERT_NO_FATAL_FAILURE(EndRun());
  EXPECT_EQ(SavedOption(L"InfoScale", L"5"), L"5");
}

TEST_F(InfoWindowTest, TheCloseButtonHidesItAndShowInfoBringsItBackUpdated) {
  InfoWindow info;
  ASSERT_NO_FATAL_FAILURE(StartRun('S', &info));
  HWND close = GetDlgItem(info.window, tw::kCloseButtonId);
  ASSERT_NE(close, nullptr);
  EXPECT_EQ(TextOf(close), L"r");
  std::string error;
  ASSERT_TRUE(Click(Centre(WindowRect(close)), false, &error)) << error;
  ASSERT_TRUE(WaitUntil([&] { return !info.Visible(); }, kReactionLimit)) << "the close button did not hide it";
  EXPECT_TRUE(HostShown()) << "the close button ended the run; " << Seen();

  // Hidden, it still follows the mouse; the menu shows it again.
  const POINT menuAt{700, 600};
  std::vector<MenuItem> items;
  ASSERT_NO_FATAL_FAILURE(ChooseFromContextMenu(menuAt, L"Show &info", &items));
  ASSERT_TRUE(WaitUntil([&] { return info.Visible(); }, kReactionLimit)) << "\"Show &info\" did not show it";
  // It shows the current row: the cursor is where the menu item was.
  POINT cursor{};
  EXPECT_TRUE(WaitUntil([&] { return GetCursorPos(&cursor) && info.Value(0) == PointText(cursor); }, kReactionLimit))
      << "the cursor row reads \"" << Narrow(info.Value(0)) << "\"";
  ASSERT_NO_FATAL_FAILURE(ChooseFromContextMenu({650, 620}, L"Hide &info", &items));
  EXPECT_TRUE(WaitUntil([&] { return !info.Visible(); }, kReactionLimit)) << "\"Hide &info\" did not hide it";
}

}  // namespace
}  // namespace e2e
