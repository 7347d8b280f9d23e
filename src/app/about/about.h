// The About box (TfrmAbout) and the welcome (TfrmFirstRun): their texts, their
// layouts scaled to the message font, and when the welcome is due. The Win32
// dialogs only put these on the screen.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/color.h"
#include "core/geometry.h"

namespace tw {

inline constexpr std::string_view kAboutCaption = "About";
inline constexpr std::string_view kFirstRunCaption = "Welcome!";
inline constexpr std::string_view kProductName = "Tarnwick";
inline constexpr std::string_view kProductDescription = "Magnifier, screenshot, measurer and dropper";
inline constexpr std::string_view kProductUrl = "https://tarnwick.example/";
// Not the version resource's 1.3: other programs may read the registry's
// "@Version", so that stays as it is, and the box keeps the text it has
// always shown.
inline constexpr std::string_view kAboutVersion = "version 1.6";
inline constexpr std::string_view kOkCaption = "OK";

// The welcome's explanation: three paragraphs, an empty line between them.
std::string WelcomeText();

// The pale green band on the left of both dialogs, and the link's blue.
inline constexpr ColorRef kBandColor = 0xC0DCC0;
inline constexpr ColorRef kLinkColor = 0xFF0000;
// The program icon's picture, centred in its image.
inline constexpr Size kIconPicture{32, 32};

enum class AboutControl { Shape1, imgIcon, lblTarnwick, lblDescription, lblURL, lblVersion, btnOK, Count };
enum class FirstRunControl { Shape1, imgIcon, lblTarnwick, lblDescription, Label1, btnOK, Count };

// The controls' ids: the control's place in its list plus this; the OK
// button is IDOK (1), the dialog manager's own.
inline constexpr int kBrandFirstControlId = 1100;
template <typename Control>
constexpr int BrandControlId(Control c) {
  return kBrandFirstControlId + static_cast<int>(c);
}

// A dialog's layout in client pixels. A label that takes the size of its
// text in its font has an empty rectangle at its place.
template <typename Control>
struct BrandDialogLayout {
  static constexpr std::size_t kCount = static_cast<std::size_t>(Control::Count);
  Size client;
  std::array<Rect, kCount> bounds{};
  int nameFontHeight = -24;  // lblTarnwick's, as LOGFONT's lfHeight
  [[nodiscard]] const Rect& operator[](Control c) const { return bounds[static_cast<std::size_t>(c)]; }
};
using AboutLayout = BrandDialogLayout<AboutControl>;
using FirstRunLayout = BrandDialogLayout<FirstRunControl>;

// The design layout scaled by |messageFontHeight| / 11, rounded as MulDiv
// rounds (a height of 0, no font read, leaves the design as it is). The band
// keeps the full client height.
AboutLayout ScaleAboutLayout(int messageFontHeight);
FirstRunLayout ScaleFirstRunLayout(int messageFontHeight);

// Where a picture of `picture` size goes, centred in `image`.
Rect CentredPicture(const Rect& image, Size picture = kIconPicture);

// The first-run decision of the start-up timer: on the first start for this
// user, or with "/F" (any case) as the first argument.
bool FirstRunDue(bool firstStart, const std::vector<std::string>& args);

}  // namespace tw
