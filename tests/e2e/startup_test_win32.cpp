// Program start: what Tarnwick.exe shows, and what it puts in the tray.
#include <algorithm>

#include "e2e/tarnwick_fixture_win32.h"

namespace e2e {
namespace {

using Startup = TarnwickTest;

TEST_F(Startup, ShowsNoWindowAndOnlyTheMainIconInTheTray) {
  // The start-up timer fires as soon as the message loop runs; anything it
  // (or the start itself) shows would be up by now.
  Pause(kStartQuietPeriod);
  const auto shown = VisibleTopLevelWindows(Pid());
  EXPECT_TRUE(shown.empty()) << "visible windows of Tarnwick.exe after its start:" << Describe(shown);

  const auto icons = TrayIcons();
  ASSERT_EQ(icons.size(), 1u) << "with the default settings the tray should hold the main icon alone; "
                              << Describe(icons);
  EXPECT_EQ(Narrow(icons[0].tip), "Tarnwick");
  // The main icon's normal picture: the product's mark in white on a green
  // square (not the grey disabled one, nor a tool's red running one).
  const IconColours colours = CountIconColours(icons[0].slot);
  EXPECT_GE(colours.green, 100) << "green pixels of 256: " << colours.green << ", white " << colours.white
                                << ", other " << colours.other;
  EXPECT_GE(colours.white, 6) << "white pixels of 256: " << colours.white << ", green " << colours.green
                              << ", other " << colours.other;
  EXPECT_TRUE(tarnwick_.Running()) << Seen();
}

TEST_F(Startup, ASecondStartHandsOverToTheRunningCopyAndLeaves) {
  // Every start writes the product values: a second copy that went on would
  // write this one again.
  constexpr wchar_t kProductKey[] = L"SOFTWARE\\Velmora\\Tarnwick";
  std::string error;
  ASSERT_TRUE(WriteRegistryText(kProductKey, L"@Version", L"kept", &error)) << error;
  EXPECT_EQ(StartSecondCopy(L""), std::optional<DWORD>(0)) << Seen();
  EXPECT_EQ(TrayIcons().size(), 1u) << Describe(TrayIcons());
  EXPECT_EQ(std::ranges::count(TopLevelWindows(), std::wstring(kHostCaption), &WindowInfo::title), 1);
  EXPECT_EQ(ReadRegistryValue(kProductKey, L"@Version").value_or(RegistryValue{}).text, L"kept");
}

// A start after an earlier one, the welcome dialog not due.
class FirstStart : public TarnwickTest {
 protected:
  void SetUp() override {}
};

TEST_F(FirstStart, ALaterStartShowsNoDialog) {
  ASSERT_NO_FATAL_FAILURE(Launch(true, L""));
  Pause(kStartQuietPeriod);
  const auto shown = VisibleTopLevelWindows(Pid());
  EXPECT_TRUE(shown.empty()) << "visible windows of Tarnwick.exe:" << Describe(shown);
}

}  // namespace
}  // namespace e2e
