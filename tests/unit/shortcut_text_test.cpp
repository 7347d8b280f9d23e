#include "app/shortcut_text.h"

#include <gtest/gtest.h>

namespace tw {
namespace {

TEST(ShortCutToTextTest, RendersCodesAsMenusShowThem) {
  const std::pair<std::uint16_t, const char*> cases[] = {
      {0xC04D, "Ctrl+Alt+M"},
      {0x2074, "Shift+F5"},
      {0x402D, "Ctrl+Ins"},
      {0xE041, "Shift+Ctrl+Alt+A"},
      {0xA05A, "Shift+Alt+Z"},
      {0x4030, "Ctrl+0"},
      {0x8039, "Alt+9"},
      {0x0070, "F1"},
      {0x4087, "Ctrl+F24"},
      {0x002E, "Del"},
      {0x0024, "Home"},
      {0x0023, "End"},
      {0x0021, "PgUp"},
      {0x0022, "PgDn"},
      {0x0025, "Left"},
      {0x0026, "Up"},
      {0x0027, "Right"},
      {0x0028, "Down"},
      {0x401B, "Ctrl+Esc"},
      {0x000D, "Enter"},
      {0x8020, "Alt+Space"},
      {0x0009, "Tab"},
      {0x0008, "BkSp"},
      {0x0060, "Num 0"},
      {0x0061, "Num 1"},  // VK_NUMPAD1 shares its code with a lower-case 'a'
      {0x4069, "Ctrl+Num 9"},
      {0x006B, "Num +"},
      {0x00BA, ";"},
      {0x00BB, "="},
      {0x40BC, "Ctrl+,"},
      {0x00BD, "-"},
      {0x00BE, "."},
      {0x00BF, "/"},
      {0x00C0, "`"},
      {0x00DB, "["},
      {0x00DC, "\\"},
      {0x00DD, "]"},
      {0x00DE, "'"},
      // Nothing to name: no key at all, a modifier without a key, keys
      // without a menu name, key bits above the byte.
      {0x0000, ""},
      {0x2000, ""},
      {0xE000, ""},
      {0x0088, ""},
      {0x0010, ""},
      {0x0141, ""},
  };
  for (const auto& [code, text] : cases) {
    SCOPED_TRACE(code);
    EXPECT_EQ(ShortCutToText(code), text);
  }
}

}  // namespace
}  // namespace tw
