// The Wine prefixes the tests run in carry Tahoma and Marlett (copied from
// Wine's own fonts when the template is made). Without them text falls back
// to another face, and Marlett's glyphs come out as letters.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

// The face GDI really selects for a font asked for by `face`.
std::wstring SelectedFace(const wchar_t* face) {
  LOGFONTW wanted{};
  wanted.lfHeight = -11;
  wanted.lfCharSet = DEFAULT_CHARSET;
  wcsncpy(wanted.lfFaceName, face, LF_FACESIZE - 1);
  HFONT font = CreateFontIndirectW(&wanted);
  if (font == nullptr) return L"(no font)";
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  wchar_t name[LF_FACESIZE] = {};
  GetTextFaceW(dc, LF_FACESIZE, name);
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(font);
  return name;
}

TEST(PrefixFonts, TahomaAndMarlettAreTheFacesSelected) {
  for (const wchar_t* face : {L"Tahoma", L"Marlett"}) {
    EXPECT_EQ(SelectedFace(face), std::wstring(face)) << "asked for the face of the same name";
  }
}

TEST(PrefixFonts, MarlettIsTheSymbolFontItself) {
  // Marlett's "r" is the close cross only in Marlett itself, a symbol font;
  // a fallback face answers with an ordinary character set.
  LOGFONTW wanted{};
  wanted.lfHeight = -13;
  wanted.lfCharSet = SYMBOL_CHARSET;
  wcscpy(wanted.lfFaceName, L"Marlett");
  HFONT font = CreateFontIndirectW(&wanted);
  ASSERT_NE(font, nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  TEXTMETRICW metrics{};
  ASSERT_TRUE(GetTextMetricsW(dc, &metrics));
  EXPECT_EQ(metrics.tmCharSet, SYMBOL_CHARSET);
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(font);
}

}  // namespace
