// The message font: what the system says, and the 8-point default when it
// says nothing usable.
#include "platform/win32/message_font.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace tw::win32 {
namespace {

NONCLIENTMETRICSW MetricsWith(const wchar_t* face, LONG height) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  metrics.lfMessageFont.lfHeight = height;
  metrics.lfMessageFont.lfWeight = FW_BOLD;
  wcscpy_s(metrics.lfMessageFont.lfFaceName, face);
  return metrics;
}

TEST(MessageFontWin32, TheSystemsFontOrTheDefault) {
  const NONCLIENTMETRICSW segoe = MetricsWith(L"Segoe UI", -12);
  const NONCLIENTMETRICSW noHeight = MetricsWith(L"Segoe UI", 0);
  const struct {
    const char* name;
    const NONCLIENTMETRICSW* metrics;
    int dpi;
    const wchar_t* face;
    LONG height;
    LONG weight;
  } cases[] = {
      {"call failed, 96 DPI", nullptr, 96, L"Tahoma", -11, FW_NORMAL},
      {"call failed, 120 DPI", nullptr, 120, L"Tahoma", -13, FW_NORMAL},
      {"call failed, 144 DPI", nullptr, 144, L"Tahoma", -16, FW_NORMAL},
      {"height 0", &noHeight, 96, L"Tahoma", -11, FW_NORMAL},
      {"the system's font", &segoe, 96, L"Segoe UI", -12, FW_BOLD},
  };
  for (const auto& c : cases) {
    const LOGFONTW font = MessageFontFrom(c.metrics, c.dpi);
    EXPECT_STREQ(font.lfFaceName, c.face) << c.name;
    EXPECT_EQ(font.lfHeight, c.height) << c.name;
    EXPECT_EQ(font.lfWeight, c.weight) << c.name;
  }
}

TEST(MessageFontWin32, IsTheSystemsMessageFontUnderWine) {
  ASSERT_EQ(ScreenDpiY(), 96);
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0));
  const LOGFONTW font = MessageFont();
  EXPECT_EQ(font.lfHeight, -11);
  EXPECT_STREQ(font.lfFaceName, metrics.lfMessageFont.lfFaceName);

  const UniqueFont made = CreateMessageFont();
  ASSERT_TRUE(made);
  LOGFONTW back{};
  ASSERT_EQ(GetObjectW(made.get(), sizeof back, &back), static_cast<int>(sizeof back));
  EXPECT_EQ(back.lfHeight, -11);
  EXPECT_STREQ(back.lfFaceName, font.lfFaceName);
}

}  // namespace
}  // namespace tw::win32
