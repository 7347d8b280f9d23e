// The Dropper run seen from outside: the colour rows (the info window's
// label texts) follow the pixel under the cursor, and a click holds the
// colour with its marker on the screen.
#include <cwchar>
#include <string>

#include "e2e/dialog_view_win32.h"
#include "e2e/tarnwick_fixture_win32.h"
#include "e2e/test_picture_win32.h"
#include "e2e/info_labels_win32.h"

namespace e2e {
namespace {

constexpr RECT kPictureArea{420, 150, 820, 450};

std::wstring RgbText(COLORREF c) {
  return std::to_wstring(GetRValue(c)) + L"  " + std::to_wstring(GetGValue(c)) + L"  " +
         std::to_wstring(GetBValue(c));
}

using DropperTest = TarnwickTest;

TEST_F(DropperTest, TheRowsFollowThePixelAndAClickHoldsItWithTheMarker) {
  TestPicture picture(kPictureArea, 1);
  ASSERT_TRUE(WaitUntil([&] { return picture.OnScreen(1); }, 5s));
  ASSERT_NO_FATAL_FAILURE(ChooseFromTrayMenu('D'));
  WindowInfo host;
  ASSERT_NO_FATAL_FAILURE(WaitForHostShown(&host));
  std::string error;
  const POINT at{620, 300};
  ASSERT_TRUE(MoveMouse(at, &error)) << error;
  const COLORREF held = TestPicture::Expected(1, at.x, at.y);
  const int rgbRow = 12;
  EXPECT_TRUE(WaitUntil([&] { return ValueText(host.hwnd, rgbRow) == RgbText(held); }, kReactionLimit))
      << "the RGB row shows \"" << Narrow(ValueText(host.hwnd, rgbRow)) << "\", not \"" << Narrow(RgbText(held))
      << "\"";

  ClickHere();
  const auto markerShown = [&] {
    const ScreenShot shot = ScreenShot::Take({at.x - 12, at.y - 12, at.x + 12, at.y + 12});
    return shot.At(at.x + 10, at.y) == 0 && shot.At(at.x - 10, at.y - 10) == 0 &&
           shot.At(at.x + 7, at.y) == 0xFFFFFF && shot.At(at.x + 5, at.y + 5) == 0 &&
           shot.At(at.x + 3, at.y - 2) == held && shot.At(at.x, at.y) == held &&
           shot.At(at.x + 11, at.y) == TestPicture::Expected(1, at.x + 11, at.y);
  };
  ASSERT_TRUE(WaitUntil(markerShown, kReactionLimit)) << "no colour marker around the point; " << Seen();
  SaveDocumentationPicture({0, 0, 720, 420}, L"dropper.png");

  const POINT away{700, 380};
  ASSERT_TRUE(MoveMouse(away, &error)) << error;
  EXPECT_TRUE(WaitUntil([&] { return ValueText(host.hwnd, 0) == L"x: 700\t y: 380"; }, kReactionLimit));
  EXPECT_EQ(ValueText(host.hwnd, rgbRow), RgbText(held)) << "the held colour's row changed";

  // A click on the "RGB Hex" value copies it; this process reads it back.
  wchar_t hex[8];
  swprintf(hex, 8, L"%02X%02X%02X", GetRValue(held), GetGValue(held), GetBValue(held));
  ASSERT_EQ(ValueText(host.hwnd, 13), hex);
  const DWORD before = GetClipboardSequenceNumber();
  ASSERT_TRUE(Click(Centre(LabelRect(host.hwnd, 13)), false, &error)) << error;
  std::wstring copied;
  EXPECT_TRUE(WaitUntil(
      [&] {
        if (GetClipboardSequenceNumber() == before || !OpenClipboard(nullptr)) return false;
        if (auto* text = static_cast<const wchar_t*>(GetClipboardData(CF_UNICODETEXT))) copied = text;
        CloseClipboard();
        return !copied.empty();
      },
      kReactionLimit));
  EXPECT_EQ(copied, hex);

  ASSERT_TRUE(MoveMouse(away, &error)) << error;
  ClickHere();
  EXPECT_TRUE(WaitUntil([&] { return picture.Compare(ScreenShot::Take(kPictureArea), 1).differing == 0; },
                        kReactionLimit))
      << "the marker was not removed exactly";
}

}  // namespace
}  // namespace e2e
