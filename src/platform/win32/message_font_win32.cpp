#include "platform/win32/message_font.h"

#include <algorithm>
#include <iterator>

#include "core/error.h"
#include "platform/win32/utf.h"

namespace tw::win32 {

int ScreenDpiY() {
  WindowDC screen(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
  return dpi > 0 ? dpi : 96;
}

LOGFONTW DefaultMessageFont(int dpi) {
  LOGFONTW font{};
  font.lfHeight = -MulDiv(8, dpi, 72);
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfOutPrecision = OUT_DEFAULT_PRECIS;
  font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  font.lfQuality = DEFAULT_QUALITY;
  font.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  constexpr wchar_t kFace[] = L"Tahoma";
  std::copy(std::begin(kFace), std::end(kFace), font.lfFaceName);
  return font;
}

LOGFONTW MessageFontFrom(const NONCLIENTMETRICSW* metrics, int dpi) {
  if (metrics == nullptr || metrics->lfMessageFont.lfHeight == 0) return DefaultMessageFont(dpi);
  return metrics->lfMessageFont;
}

namespace {

// The whole W structure: a cbSize of 340 is the ANSI layout, and Wine, which
// accepts it, still writes lfMessageFont at bytes 408-499, past the end of a
// buffer of that size.
bool ReadMetrics(NONCLIENTMETRICSW& metrics) {
  metrics = {};
  metrics.cbSize = sizeof metrics;
  return SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0) != FALSE;
}

}  // namespace

LOGFONTW MessageFont() {
  NONCLIENTMETRICSW metrics;
  const bool ok = ReadMetrics(metrics);
  return MessageFontFrom(ok ? &metrics : nullptr, ScreenDpiY());
}

LOGFONTW CaptionFont() {
  NONCLIENTMETRICSW metrics;
  if (!ReadMetrics(metrics) || metrics.lfCaptionFont.lfHeight == 0) return DefaultMessageFont(ScreenDpiY());
  return metrics.lfCaptionFont;
}

UniqueFont CreateFontOf(const LOGFONTW& font) {
  UniqueFont made(CreateFontIndirectW(&font));
  if (!made) throw Error("Cannot create the font \"" + Narrow(font.lfFaceName) + "\"");
  return made;
}

UniqueFont CreateMessageFont() { return CreateFontOf(MessageFont()); }

}  // namespace tw::win32
