// How the info window's windows are known from outside (screen readers,
// tests): their class names and the labels' control ids.
#pragma once

namespace tw {

inline constexpr wchar_t kInfoWindowClass[] = L"TInfoWin";
inline constexpr wchar_t kInfoPanelClass[] = L"TInfoPanel";  // close button, content panel, columns
inline constexpr wchar_t kZoomViewClass[] = L"TDrawPanel";
inline constexpr wchar_t kInfoLabelClass[] = L"TInfoLabel";

// Control ids of the labels in their columns: caption and value of row i.
constexpr int CaptionLabelId(int row) { return 100 + row; }
constexpr int ValueLabelId(int row) { return 200 + row; }
constexpr int kCloseButtonId = 1;

}  // namespace tw
