// The Magnifier as a user meets it: started by its hot key or the tray menu,
// a lens that follows the mouse over the frozen screen, Ctrl- and
// Shift-clicks that change it, and a plain click that ends the run and leaves
// the changes in the registry.
#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <utility>

#include "e2e/dialog_view_win32.h"
#include "e2e/tarnwick_fixture_win32.h"
#include "e2e/test_picture_win32.h"

#include <commctrl.h>

namespace e2e {
namespace {

constexpr wchar_t kOptionsKey[] = L"SOFTWARE\\Velmora\\Tarnwick\\Options";

// Large enough that every lens below, at every place it is moved to, takes
// its source from the picture alone.
constexpr RECT kPictureArea{250, 150, 750, 550};

bool WriteOption(const wchar_t* name, const std::wstring& text) {
  std::string error;
  return WriteRegistryText(kOptionsKey, name, text, &error);
}

// The text of an option value, or what stands in its place.
std::string ReadOption(const wchar_t* name) {
  const auto value = ReadRegistryValue(kOptionsKey, name);
  if (!value) return "(missing)";
  if (value->type != REG_SZ) return "(type " + std::to_string(value->type) + ")";
  return Narrow(value->text);
}

// The pointer at `to`, as the X server and Wine both see it.
::testing::AssertionResult MouseAt(POINT to) {
  std::string error;
  if (MoveMouse(to, &error)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << error;
}

BYTE Contrast(BYTE c, int mode) {
  const int d = c - 128;
  const int e = mode == 1 ? (3 * d) / 2 : mode == 2 ? 2 * d : d;
  return static_cast<BYTE>(std::clamp(e, -128, 127) + 128);
}

COLORREF Contrast(COLORREF c, int mode) {
  return RGB(Contrast(GetRValue(c), mode), Contrast(GetGValue(c), mode), Contrast(GetBValue(c), mode));
}

struct Lens {
  POINT at;
  int width, height;  // ZoomWidth, ZoomHeight
  int scale;
  int contrast = 0;
};

// How far the screen differs from `lens` drawn over `pattern`: the magnified
// image and its black one-pixel frame.
TestPicture::Match CompareLens(const ScreenShot& shot, const Lens& lens, int pattern) {
  TestPicture::Match m;
  const int zw = lens.width, zh = lens.height, s = lens.scale;
  const int left = lens.at.x - zw / 2, top = lens.at.y - zh / 2;
  const int sw = zw / s, sh = zh / s, sl = lens.at.x - zw / (2 * s), st = lens.at.y - zh / (2 * s);
  auto check = [&](int x, int y, COLORREF want) {
    ++m.compared;
    const COLORREF seen = shot.At(x, y);
    if (seen != want && m.differing++ == 0) {
      m.firstDifference = POINT{x, y};
      m.seen = seen;
      m.expected = want;
    }
  };
  for (int j = 0; j < zh; ++j)
    for (int i = 0; i < zw; ++i)
      check(left + i, top + j,
            Contrast(TestPicture::Expected(pattern, sl + i * sw / zw, st + j * sh / zh), lens.contrast));
  for (int x = left - 1; x <= left + zw; ++x) {
    check(x, top - 1, RGB(0, 0, 0));
    check(x, top + zh, RGB(0, 0, 0));
  }
  for (int y = top; y < top + zh; ++y) {
    check(left - 1, y, RGB(0, 0, 0));
    check(left + zw, y, RGB(0, 0, 0));
  }
  return m;
}

class MagnifierRun : public TarnwickTest {
 protected:
  // Each case writes its options before the program reads them at its start.
  void SetUp() override {}

  void StartWithOptions(std::initializer_list<std::pair<const wchar_t*, const wchar_t*>> options) {
    for (const auto& [name, text] : options) ASSERT_TRUE(WriteOption(name, text)) << Narrow(name);
    ASSERT_NO_FATAL_FAILURE(Launch(true, L""));
    QuietTrayTooltips();
  }

  // Reading the tray icons at the start hovers them, and Wine's task bar then
  // shows the icon's tooltip wherever the pointer next comes to rest, even
  // far from the tray. Over the picture it would be captured and magnified
  // with it, so the task bar's tooltips are switched off.
  static void QuietTrayTooltips() {
    const auto tray = TrayWindow();
    if (!tray) return;
    for (const auto& w : TopLevelWindows(tray->pid)) {
      if (w.className != TOOLTIPS_CLASSW) continue;
      DWORD_PTR ignored = 0;
      SendMessageTimeoutW(w.hwnd, TTM_ACTIVATE, FALSE, 0, SMTO_ABORTIFHUNG, 500, &ignored);
      SendMessageTimeoutW(w.hwnd, TTM_POP, 0, 0, SMTO_ABORTIFHUNG, 500, &ignored);
    }
  }

  // No pointer over the picture: whether a screen copy holds the pointer
  // differs between Windows and Wine on Xvfb, and the capture must hold the
  // picture alone for the lens to be checked to the pixel.
  static void PreparePicture(const TestPicture& picture) { SetClassLongPtrW(picture.Window(), GCLP_HCURSOR, 0); }

  // Waits for the screen to show `lens` over the picture.
  static ::testing::AssertionResult LensShown(const Lens& lens, Millis timeout) {
    TestPicture::Match last;
    if (WaitUntil(
            [&] {
              last = CompareLens(ScreenShot::TakeAll(), lens, kPattern);
              return last.differing == 0;
            },
            timeout, 50ms))
      return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the " << lens.width << " x " << lens.height << " lens at scale " << lens.scale
                                         << " around (" << lens.at.x << ", " << lens.at.y
                                         << ") is not on the screen: " << last.Describe();
  }

  void ExpectLens(const Lens& lens, const char* when) {
    const auto shown = LensShown(lens, 5s);
    ASSERT_TRUE(shown) << when << "; " << Seen();
  }

  // Moves the mouse to the lens's place and waits for the lens to follow.
  void MoveLensTo(const Lens& lens, const char* when) {
    ASSERT_TRUE(MouseAt(lens.at)) << when;
    ASSERT_NO_FATAL_FAILURE(ExpectLens(lens, when));
  }

  // Ctrl+Alt+M, as a user presses it.
  static void PressHotKey() {
    PressKeys({VK_CONTROL, VK_MENU, 'M'});
  }

  static constexpr int kPattern = 1;
};

TEST_F(MagnifierRun, HotKeyLensFollowsTheMouseClicksChangeItAndAPlainClickSavesThem) {
  ASSERT_NO_FATAL_FAILURE(StartWithOptions({{L"MagnifierKey", L"49229"},  // Ctrl+Alt+M
                                            {L"Scale", L"2"},
                                            {L"ZoomWidth", L"100"},
                                            {L"ZoomHeight", L"100"},
                                            {L"HighContrast", L"0"},
                                            {L"MagnifierCursor", L"0"}}));
  TestPicture picture(kPictureArea, kPattern);
  PreparePicture(picture);
  ASSERT_TRUE(WaitUntil([&] { return picture.OnScreen(kPattern); }, 5s))
      << picture.Compare(ScreenShot::TakeAll(), kPattern).Describe();

  const POINT first{500, 350};
  ASSERT_TRUE(MouseAt(first));
  PressHotKey();
  WindowInfo host;
  ASSERT_NO_FATAL_FAILURE(WaitForHostShown(&host));
  // At once, with the mouse where it was: source 475..524 x 325..374, each
  // pixel a 2 x 2 block, framed from (449, 299) to (550, 400).
  ASSERT_NO_FATAL_FAILURE(ExpectLens({first, 100, 100, 2}, "after the hot key"));
  SaveDocumentationPicture({first.x - 160, first.y - 110, first.x + 160, first.y + 110}, L"magnifier.png");

  const POINT second{540, 380};
  ASSERT_NO_FATAL_FAILURE(MoveLensTo({second, 100, 100, 2}, "after a mouse move"));
  // Where the old lens was and the new one is not, the frozen screen is back.
  const ScreenShot shot = ScreenShot::TakeAll();
  for (const POINT p : {POINT{449, 299}, POINT{460, 320}, POINT{488, 400}, POINT{550, 328}})
    EXPECT_EQ(shot.At(p.x, p.y), TestPicture::Expected(kPattern, p.x, p.y)) << p.x << "," << p.y;

  ClickHere(VK_CONTROL);
  ASSERT_NO_FATAL_FAILURE(ExpectLens({second, 100, 100, 3}, "after Ctrl+click"));
  ClickHere(VK_SHIFT);
  ASSERT_NO_FATAL_FAILURE(ExpectLens({second, 110, 110, 3}, "after Shift+click"));
  EXPECT_TRUE(HostShown()) << "a Ctrl- or Shift-click ended the run; " << Seen();

  ClickHere();
  ASSERT_NO_FATAL_FAILURE(WaitForHostHidden());
  EXPECT_TRUE(WaitUntil([&] { return picture.OnScreen(kPattern); }, 3s)) << "the lens stayed on the screen";
  EXPECT_EQ(ReadOption(L"Scale"), "3");
  EXPECT_EQ(ReadOption(L"ZoomWidth"), "110");
  EXPECT_EQ(ReadOption(L"ZoomHeight"), "110");
  EXPECT_EQ(ReadOption(L"MagnifierKey"), "49229");
  EXPECT_TRUE(tarnwick_.Running()) << Seen();
}

// The tray menu's "Ma&gnifier" starts a run too (ToolItems covers that);
// this case uses the hot key as well, because right after a popup menu Wine
// may refuse to move the pointer for a while, and the lens would then not be
// where the test puts the cursor.
TEST_F(MagnifierRun, RaisedContrastFiltersTheSourceAndAnyKeyEndsIt) {
  ASSERT_NO_FATAL_FAILURE(StartWithOptions({{L"MagnifierKey", L"49229"},
                                            {L"Scale", L"3"},
                                            {L"ZoomWidth", L"120"},
                                            {L"ZoomHeight", L"90"},
                                            {L"HighContrast", L"2"},
                                            {L"MagnifierCursor", L"2"}}));
  TestPicture picture(kPictureArea, kPattern);
  PreparePicture(picture);
  ASSERT_TRUE(WaitUntil([&] { return picture.OnScreen(kPattern); }, 5s));

  ASSERT_TRUE(MouseAt(POINT{480, 330}));
  PressHotKey();
  WindowInfo host;
  ASSERT_NO_FATAL_FAILURE(WaitForHostShown(&host));
  // 120 x 90 at scale 3: source 40 x 30 from (460, 315), through the filter.
  ASSERT_NO_FATAL_FAILURE(ExpectLens({POINT{480, 330}, 120, 90, 3, 2}, "after the hot key"));
  ASSERT_NO_FATAL_FAILURE(MoveLensTo({POINT{430, 300}, 120, 90, 3, 2}, "after a mouse move"));

  PressKey('A');
  ASSERT_NO_FATAL_FAILURE(WaitForHostHidden());
  EXPECT_EQ(ReadOption(L"Scale"), "3");
  EXPECT_EQ(ReadOption(L"ZoomWidth"), "120");
  EXPECT_EQ(ReadOption(L"ZoomHeight"), "90");  // no Shift-click: never squared
  EXPECT_EQ(ReadOption(L"HighContrast"), "2");
}

}  // namespace
}  // namespace e2e
