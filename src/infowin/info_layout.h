// The info window's geometry, computed from the system's metrics: where the
// close button, the content panel, the zoom view, the two columns and each
// row's labels go, and how large the window is for a given row mask.
#pragma once

#include <array>

#include "core/geometry.h"
#include "infowin/info_rows.h"

namespace tw {

// What the geometry is computed from; the shell reads it off the system.
struct InfoMetrics {
  int smallCaption = 17;          // SM_CYSMCAPTION
  int pixelsPerInch = 96;         // the screen's logical resolution
  int defaultFontHeight = -11;    // a window's default font: 8 points at that resolution
  int messageFontHeight = -11;    // the system message font; 0 means the default
  int labelHeight = 13;           // one line of the message font
};

struct InfoLayout {
  Size window;            // the whole window
  Rect closeButton;       // in window coordinates
  int closeFontHeight;    // the close glyph's character height (negative)
  Rect content;           // the content panel, in window coordinates
  Rect zoomView;          // in content coordinates, its one-pixel border included
  Size zoomClient;        // inside that border: the zoom bitmap's size
  Rect captionColumn;     // in content coordinates
  Rect valueColumn;       // in content coordinates
  int labelHeight;
  // Each row's labels, in their columns' coordinates; empty when the row is
  // not in the mask. Caption and value labels of a row share a height and top.
  std::array<Rect, kInfoRowCount> captionLabels;
  std::array<Rect, kInfoRowCount> valueLabels;
  std::array<bool, kInfoRowCount> rowShown;
  Rect dragBand;          // where a left press starts a drag, window coordinates
  Rect captionBand;       // the white band behind the caption text
  Rect captionText;       // where "Information" is centred
};

// The width of the content panel's border and of each column's margin.
constexpr int kInfoBorder = 4;

InfoLayout ComputeInfoLayout(const InfoMetrics& metrics, unsigned rowMask);

}  // namespace tw
