// The rows an info window can show, by their fixed index, and the row masks
// of the tools that have one.
#pragma once

#include <array>
#include <string_view>

namespace tw {

enum class InfoRow : unsigned {
  CursorPosition = 0,
  Offset = 1,
  OffsetInch = 2,
  OffsetMm = 3,
  SelectionStart = 4,
  SelectionEnd = 5,
  SelectionSize = 6,
  Distance = 7,
  DistanceInch = 8,
  DistanceMm = 9,
  Angles = 10,
  Color = 11,
  Rgb = 12,
  RgbHex = 13,
  Hsb = 14,
  Cmy = 15,
  Cmyk = 16,
  HtmlColor = 17,
};

constexpr unsigned kInfoRowCount = 18;

// The caption of each row, in UTF-8; row 10 ends in the degree sign U+00B0.
inline constexpr std::array<std::string_view, kInfoRowCount> kInfoRowCaptions = {
    "Cursor position", "Offset",         "Offset (inch)",   "Offset (mm)", "Selection start", "Selection end",
    "Selection size",  "Distance",       "Distance (inch)", "Distance (mm)", "Angles (\u00B0)", "Color",
    "RGB",             "RGB Hex",        "HSB",             "CMY",          "CMYK",           "HTML color"};

// The row whose value is a colour swatch rather than text.
constexpr int kColorRow = static_cast<int>(InfoRow::Color);

// The colour values, which a click copies to the clipboard.
constexpr bool IsCopyableRow(int row) { return row >= static_cast<int>(InfoRow::Rgb) && row < static_cast<int>(kInfoRowCount); }

constexpr unsigned RowBit(InfoRow row) { return 1u << static_cast<unsigned>(row); }

template <typename... Rows>
constexpr unsigned RowMask(Rows... rows) {
  return (0u | ... | RowBit(rows));
}

constexpr unsigned kScreenshotRows = RowMask(InfoRow::CursorPosition, InfoRow::SelectionStart,
                                             InfoRow::SelectionEnd, InfoRow::SelectionSize);
constexpr unsigned kMeasurerRows =
    RowMask(InfoRow::CursorPosition, InfoRow::Offset, InfoRow::OffsetInch, InfoRow::OffsetMm, InfoRow::Distance,
            InfoRow::DistanceInch, InfoRow::DistanceMm, InfoRow::Angles);
constexpr unsigned kDropperRows = RowMask(InfoRow::CursorPosition, InfoRow::Color, InfoRow::Rgb, InfoRow::RgbHex,
                                          InfoRow::Hsb, InfoRow::Cmy, InfoRow::Cmyk, InfoRow::HtmlColor);

static_assert(kScreenshotRows == 0x71 && kMeasurerRows == 0x78F && kDropperRows == 0x3F801);

}  // namespace tw
