// The Measurer run seen from outside: a drag shows its figures in the info
// window and leaves nothing on the screen after the release.
#include <string>
#include <vector>

#include "e2e/dialog_view_win32.h"
#include "e2e/tarnwick_fixture_win32.h"
#include "e2e/test_picture_win32.h"
#include "e2e/info_labels_win32.h"

namespace e2e {
namespace {

constexpr RECT kPictureArea{420, 150, 820, 450};

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
  const auto distance = [&] { return ValueText(host.hwnd, 7); };
  EXPECT_TRUE(WaitUntil([&] { return distance() == L"50.0" || distance() == L"50,0"; }, kReactionLimit))
      << "the distance row shows \"" << Narrow(distance()) << "\"";
  // The figure, pixel for pixel: the box's dotted frame, then the XOR line
  // as the system's line walker visits it (its end point left out).
  std::string problem;
  const auto figureShown = [&] {
    const ScreenShot shot = ScreenShot::Take(kPictureArea);
    std::vector<COLORREF> want;
    for (int y = kPictureArea.top; y < kPictureArea.bottom; ++y)
      for (int x = kPictureArea.left; x < kPictureArea.right; ++x) {
        const bool outline = (x == 500 || x == 530 || y == 200 || y == 240) && x >= 500 && x <= 530 && y >= 200 &&
                             y <= 240;
        want.push_back(outline && (x + y) % 2 == 1 ? 0xC0C0C0 : TestPicture::Expected(1, x, y));
      }
    struct Walk {
      std::vector<COLORREF>* want;
    } walk{&want};
    LineDDA(500, 200, 530, 240,
            [](int x, int y, LPARAM lp) {
              auto* w = reinterpret_cast<Walk*>(lp);
              const auto i = static_cast<std::size_t>((y - kPictureArea.top) * (kPictureArea.right - kPictureArea.left) +
                                                      (x - kPictureArea.left));
              (*w->want)[i] ^= 0xC0C0C0;
            },
            reinterpret_cast<LPARAM>(&walk));
    std::size_t i = 0;
    for (int y = kPictureArea.top; y < kPictureArea.bottom; ++y)
      for (int x = kPictureArea.left; x < kPictureArea.right; ++x, ++i)
        if (shot.At(x, y) != want[i]) {
          problem = "pixel (" + std::to_string(x) + ", " + std::to_string(y) + ") is " + Hex(shot.At(x, y)) +
                    ", not " + Hex(want[i]);
          return false;
        }
    return true;
  };
  EXPECT_TRUE(WaitUntil(figureShown, kReactionLimit)) << "the measuring figure: " << problem;
  SaveDocumentationPicture({0, 0, 640, 300}, L"measurer.png");
  MouseButtonHere(false);
  EXPECT_TRUE(WaitUntil([&] { return picture.Compare(ScreenShot::Take(kPictureArea), 1).differing == 0; },
                        kReactionLimit))
      << "the figure stayed after the release: " << picture.Compare(ScreenShot::Take(kPictureArea), 1).Describe();
  const std::wstring angles = ValueText(host.hwnd, 10);
  EXPECT_TRUE(angles == L"x: 53.1 \t y: 36.9" || angles == L"x: 53,1 \t y: 36,9") << Narrow(angles);
}

}  // namespace
}  // namespace e2e
