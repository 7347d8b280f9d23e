// The tray menu: how it opens from the main icon and what it holds.
#include <algorithm>
#include <iterator>

#include "e2e/tarnwick_fixture_win32.h"

namespace e2e {
namespace {

struct ExpectedItem {
  const wchar_t* caption;  // nullptr: a separator
};
// Top to bottom.
constexpr ExpectedItem kTrayMenu[] = {
    {L"E&xit"},     {nullptr},         {L"&About..."}, {L"&Preferences..."}, {nullptr},
    {L"Ma&gnifier"}, {L"&Screenshot"}, {L"&Measurer"}, {L"&Dropper"},
};

std::string CheckItems(const std::vector<MenuItem>& items, bool toolsEnabled) {
  std::string problems;
  const size_t want = std::size(kTrayMenu);
  if (items.size() != want) problems += "\n  " + std::to_string(items.size()) + " items, not " + std::to_string(want);
  for (size_t i = 0; i < std::min(items.size(), want); ++i) {
    const MenuItem& item = items[i];
    const std::string where = "\n  item " + std::to_string(i) + ": ";
    if (!kTrayMenu[i].caption) {
      if (!item.Separator()) problems += where + "\"" + Narrow(item.text) + "\" where a separator belongs";
      continue;
    }
    if (item.Separator()) {
      problems += where + "a separator where \"" + Narrow(kTrayMenu[i].caption) + "\" belongs";
      continue;
    }
    if (item.Caption() != kTrayMenu[i].caption)
      problems += where + "\"" + Narrow(item.Caption()) + "\", not \"" + Narrow(kTrayMenu[i].caption) + "\"";
    // "E&xit" stays enabled at all times; the others follow the tools flag.
    const bool wantEnabled = i == 0 || toolsEnabled;
    if (item.Enabled() != wantEnabled)
      problems += where + "\"" + Narrow(item.Caption()) + "\" is " + (item.Enabled() ? "enabled" : "disabled");
  }
  return problems;
}

using TrayMenu = TarnwickTest;

TEST_F(TrayMenu, LeftClickOnTheMainIconOpensItAtTheCursor) {
  WindowInfo menu;
  ASSERT_NO_FATAL_FAILURE(OpenTrayMenu(false, &menu));
  std::vector<MenuItem> items;
  ASSERT_NO_FATAL_FAILURE(ReadMenu(menu, &items));
  const std::string problems = CheckItems(items, true);
  EXPECT_TRUE(problems.empty()) << problems << "\nthe menu's items:" << Describe(items);
  // Opened at the cursor: a corner of the menu lies at the click point,
  // unless the screen's edge (or Wine's task bar) pushed it aside a little.
  const POINT click = Centre(mainIcon_);
  const int dx = click.x < menu.rect.left ? menu.rect.left - click.x
                 : click.x >= menu.rect.right ? click.x - menu.rect.right + 1 : 0;
  const int dy = click.y < menu.rect.top ? menu.rect.top - click.y
                 : click.y >= menu.rect.bottom ? click.y - menu.rect.bottom + 1 : 0;
  EXPECT_LE(std::max(dx, dy), 32) << "menu " << menu.Describe() << " is far from the click at (" << click.x << ","
                                  << click.y << ")";
  PressKey(VK_ESCAPE);
  ASSERT_NO_FATAL_FAILURE(WaitForMenuClosed());
  EXPECT_FALSE(HostShown()) << Seen();
  EXPECT_TRUE(tarnwick_.Running()) << Seen();
}

TEST_F(TrayMenu, RightClickOnTheMainIconOpensItToo) {
  WindowInfo menu;
  ASSERT_NO_FATAL_FAILURE(OpenTrayMenu(true, &menu));
  std::vector<MenuItem> items;
  ASSERT_NO_FATAL_FAILURE(ReadMenu(menu, &items));
  const std::string problems = CheckItems(items, true);
  EXPECT_TRUE(problems.empty()) << problems << "\nthe menu's items:" << Describe(items);
}

}  // namespace
}  // namespace e2e
