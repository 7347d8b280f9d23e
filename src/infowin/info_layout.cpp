#include "infowin/info_layout.h"

#include <cstdlib>

namespace tw {

namespace {

// Font heights come as character heights with a minus sign, but a cell
// height (positive) is just as valid a LOGFONT; only the size matters here.
int Magnitude(int height, int fallback) {
  const int m = std::abs(height);
  return m != 0 ? m : fallback;
}

}  // namespace

InfoLayout ComputeInfoLayout(const InfoMetrics& metrics, unsigned rowMask) {
  InfoLayout l{};
  const int sc = metrics.smallCaption;
  const int hd = Magnitude(metrics.defaultFontHeight, 11);
  const int hm = Magnitude(metrics.messageFontHeight, hd);

  // 212 logical pixels, scaled by the resolution and by the message font
  // against the default font, plus the content panel's border on both sides.
  l.window.width = metrics.pixelsPerInch * 212 * hm / (hd * 96) + 2 * kInfoBorder;

  const int buttonHeight = sc * 4 / 5 + 2;
  const int buttonWidth = buttonHeight * 3 / 2 + 2;
  l.closeButton = MakeRect({l.window.width - buttonWidth - 8, 1}, {buttonWidth, buttonHeight});
  l.closeFontHeight = -(buttonHeight / 2);

  const int contentWidth = l.window.width - 8;
  const int innerWidth = contentWidth - 2 * kInfoBorder;
  l.zoomClient = {innerWidth - 2, (innerWidth - 2) / 2};
  l.zoomView = MakeRect({kInfoBorder, kInfoBorder}, {innerWidth, l.zoomClient.height + 2});

  l.labelHeight = metrics.labelHeight;
  int y = l.zoomView.Height() + 6;  // as the rows' order is decided; the sum is what counts
  int columnY = kInfoBorder;        // where the next shown row's labels go in the columns
  const int captionWidth = innerWidth / 2;
  for (unsigned row = 0; row < kInfoRowCount; ++row) {
    l.rowShown[row] = (rowMask & (1u << row)) != 0;
    if (!l.rowShown[row]) continue;
    l.captionLabels[row] = {kInfoBorder, columnY, captionWidth - kInfoBorder, columnY + l.labelHeight};
    l.valueLabels[row] = {kInfoBorder, columnY, innerWidth - captionWidth - kInfoBorder, columnY + l.labelHeight};
    columnY += l.labelHeight;
    y += l.labelHeight;
  }
  l.window.height = sc + y + 10 + (3 * kInfoBorder) / 2;

  l.content = MakeRect({kInfoBorder, sc + 5}, {contentWidth, l.window.height - sc - 9});
  const int columnsTop = l.zoomView.bottom;
  const int columnsBottom = l.content.Height() - kInfoBorder;
  l.captionColumn = {kInfoBorder, columnsTop, kInfoBorder + captionWidth, columnsBottom};
  l.valueColumn = {kInfoBorder + captionWidth, columnsTop, kInfoBorder + innerWidth, columnsBottom};

  l.dragBand = {4, 4, l.window.width - 4, 4 + sc - 1};
  l.captionBand = {3, 3, l.window.width - 3, 3 + sc - 1};
  l.captionText = l.captionBand;
  l.captionText.left += 2;
  return l;
}

}  // namespace tw
