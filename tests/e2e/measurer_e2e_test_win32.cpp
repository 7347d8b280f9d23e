// The Measurer run seen from outside: a drag shows its figures in the info
// window and leaves nothing on the screen after the release.
#include <string>
#include <utility>

#include "e2e/tarnwick_fixture_win32.h"
#include "e2e/test_picture_win32.h"
#include "infowin/infowin_ids.h"

namespace e2e {
namespace {

constexpr RECT kPictureArea{420, 150, 820, 450};

std::wstring LabelText(HWND host, int id) {
  std::pair<int, std::wstring> result{id, L""};
  EnumChildWindows(
      host,
      [](HWND hwnd, LPARAM lp) -> BOOL {
        auto* r = reinterpret_cast<std::pair<int, std::wstring>*>(lp);
        if (GetDlgCtrlID(hwnd) != r->first) return TRUE;
        wchar_t t[128] = {};
        GetWindowTextW(hwnd, t, 128);
        r->second = t;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&result));
  return result.second;
}

using MeasurerTest = TarnwickTest;

TEST_F(MeasurerTest, ADragShowsItsFiguresAndTheReleaseLeavesTheScreenClean) {
  TestPicture picture(kPictureArea, 1);
  ASSERT_TRUE(WaitUntil([&] { return picture.OnScreen(1); }, 5s));
  ASSERT_NO_FATAL_FAILURE(ChooseFromTrayMenu('M'));
  WindowInfo host;
  ASSERT_NO_FATAL_FAILURE(WaitForHostShown(&host));
  std::string error;
  ASSERT_TRUE(MoveMouse({500, 200}, &error)) << error;
  MouseButtonHere(true);
  ASSERT_TRUE(MoveMouse({515, 220}, &error)) << error;
  ASSERT_TRUE(MoveMouse({530, 240}, &error)) << error;
  const auto distance = [&] { return LabelText(host.hwnd, tw::ValueLabelId(7)); };
  EXPECT_TRUE(WaitUntil([&] { return distance() == L"50.0" || distance() == L"50,0"; }, kReactionLimit))
      << "the distance row shows \"" << Narrow(distance()) << "\"";
  EXPECT_TRUE(WaitUntil([&] { return picture.Compare(ScreenShot::Take(kPictureArea), 1).differing > 0; },
                        kReactionLimit))
      << "no measuring figure on the screen";
  MouseButtonHere(false);
  EXPECT_TRUE(WaitUntil([&] { return picture.Compare(ScreenShot::Take(kPictureArea), 1).differing == 0; },
                        kReactionLimit))
      << "the figure stayed after the release: " << picture.Compare(ScreenShot::Take(kPictureArea), 1).Describe();
  const std::wstring angles = LabelText(host.hwnd, tw::ValueLabelId(10));
  EXPECT_TRUE(angles == L"x: 53.1 \t y: 36.9" || angles == L"x: 53,1 \t y: 36,9") << Narrow(angles);
}

}  // namespace
}  // namespace e2e
