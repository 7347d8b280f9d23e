#include "app/hotkeys.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "fakes/fake_hotkeys.h"

namespace tw {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(HotKeyTest, ShortcutCodesSplitIntoModifiersAndKey) {
  struct Case {
    std::uint16_t shortcut;
    unsigned modifiers;
    unsigned key;
  };
  const Case cases[] = {
      {0xC04D, kModControl | kModAlt, 0x4D},  // Ctrl+Alt+M: modifiers 3
      {0x2074, kModShift, 0x74},              // Shift+F5: modifiers 4
      {0x402D, kModControl, 0x2D},
      {0x8041, kModAlt, 0x41},
      {0xE041, kModShift | kModControl | kModAlt, 0x41},
      {0x1FFF, 0, 0x1FFF},  // every key bit, no modifier
      {0x0000, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shortcut);
    EXPECT_EQ(HotKeyFromShortcut(c.shortcut), (HotKeyCombination{c.modifiers, c.key}));
  }
}

TEST(HotKeyTest, RegistersTheFourToolsInOrderWithTheirSettings) {
  TSettings settings;
  settings.MagnifierKey = 0xC04D;
  settings.ScreenshotKey = 0x2074;
  settings.MeasurerKey = 0;
  settings.DropperKey = 0x8044;
  fakes::FakeHotKeys port;

  RegisterHotKeys(port, settings);

  EXPECT_THAT(port.calls, ElementsAre("register 0 3 77", "register 1 4 116", "register 2 0 0",
                                      "register 3 1 68"));
  EXPECT_EQ(port.Press(3, 'M'), 0);
  EXPECT_EQ(port.Press(kModShift, 0x74), 1);
  EXPECT_EQ(port.Press(kModAlt, 'D'), 3);
}

TEST(HotKeyTest, TheSameCombinationForTwoToolsGoesToTheLowerOne) {
  TSettings settings;
  settings.ScreenshotKey = 0xC053;
  settings.DropperKey = 0xC053;
  fakes::FakeHotKeys port;

  RegisterHotKeys(port, settings);

  EXPECT_EQ(port.Press(kModControl | kModAlt, 'S'), 1);
  EXPECT_FALSE(port.registered.contains(3));
}

TEST(HotKeyTest, ARefusedCombinationIsSilentlyLeftOut) {
  TSettings settings;
  settings.MagnifierKey = 0xC04D;
  settings.MeasurerKey = 0xC04E;
  fakes::FakeHotKeys port;
  port.refused.insert({kModControl | kModAlt, 'M'});  // held by another program

  RegisterHotKeys(port, settings);

  EXPECT_FALSE(port.registered.contains(0));
  EXPECT_EQ(port.Press(kModControl | kModAlt, 'N'), 2);
}

TEST(HotKeyTest, UnregisteringFreesAllFourIdsForTheNextRegistration) {
  TSettings settings;
  settings.MagnifierKey = 0xC04D;
  settings.DropperKey = 0xC044;
  fakes::FakeHotKeys port;
  RegisterHotKeys(port, settings);
  port.calls.clear();

  UnregisterHotKeys(port);
  EXPECT_THAT(port.calls,
              ElementsAre("unregister 0", "unregister 1", "unregister 2", "unregister 3"));
  EXPECT_THAT(port.registered, IsEmpty());

  // As around the Preferences dialog: the Dropper now takes the Magnifier's keys.
  settings.MagnifierKey = 0;
  settings.DropperKey = 0xC04D;
  RegisterHotKeys(port, settings);
  EXPECT_EQ(port.Press(kModControl | kModAlt, 'M'), 3);
}

TEST(HotKeyTest, OnlyIdsZeroToThreeStartATool) {
  constexpr auto kMax = std::numeric_limits<std::uintptr_t>::max();
  EXPECT_EQ(ToolFromHotKeyId(0), 0);
  EXPECT_EQ(ToolFromHotKeyId(1), 1);
  EXPECT_EQ(ToolFromHotKeyId(2), 2);
  EXPECT_EQ(ToolFromHotKeyId(3), 3);
  const std::uintptr_t ignored[] = {4, 5, 0x7FFFFFFF, 0xFFFFFFFF, kMax, kMax - 2,
                                    // would read as 1 if cut to 32 bits on a 64-bit build
                                    static_cast<std::uintptr_t>(std::uint64_t{0x100000001} & kMax)};
  for (const std::uintptr_t id : ignored) {
    SCOPED_TRACE(id);
    if (id == 1) continue;  // 32-bit build: the last entry wrapped to 1
    EXPECT_EQ(ToolFromHotKeyId(id), std::nullopt);
  }
}

}  // namespace
}  // namespace tw
