#include "platform/win32/message_font.h"

#include <algorithm>
#include <iterator>

#include "core/error.h"

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

LOGFONTW MessageFont() {
  // The whole W structure: a cbSize of 340 is the ANSI layout, and Wine,
  // which accepts it, still writes lfMessageFont at bytes 408-499, past the
  // end of a buffer of that size.
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  const bool ok = SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0) != FALSE;
  return MessageFontFrom(ok ? &metrics : nullptr, ScreenDpiY());
}

UniqueFont CreateMessageFont() {
  const LOGFONTW font = MessageFont();
  UniqueFont made(CreateFontIndirectW(&font));
  if (!made) throw Error("Cannot create the message font");
  return made;
}

}  // namespace tw::win32
