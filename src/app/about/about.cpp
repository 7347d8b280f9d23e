#include "app/about/about.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace tw {

namespace {

constexpr int kDesignFontHeight = 11;
constexpr int kDesignNameHeight = 24;

// A control's design place and size; an empty size for a label that takes
// its text's size.
struct Design {
  Point at;
  Size size;
};

constexpr Size kAboutClient{376, 217};
constexpr std::array<Design, AboutLayout::kCount> kAboutDesign{{
    {{0, 0}, {65, kAboutClient.height}},  // Shape1: the band, full height
    {{16, 16}, {32, 32}},                 // imgIcon
    {{88, 8}, {}},                        // lblTarnwick
    {{88, 40}, {}},                       // lblDescription
    {{88, 56}, {}},                       // lblURL
    {{88, 80}, {}},                       // lblVersion
    {{88, 176}, {81, 25}},                // btnOK
}};

constexpr Size kFirstRunClient{451, 289};
constexpr std::array<Design, FirstRunLayout::kCount> kFirstRunDesign{{
    {{0, 0}, {65, kFirstRunClient.height}},  // Shape1
    {{16, 16}, {32, 32}},                    // imgIcon
    {{88, 8}, {}},                           // lblTarnwick
    {{88, 40}, {}},                          // lblDescription
    {{88, 80}, {304, 145}},                  // Label1
    {{88, 248}, {81, 25}},                   // btnOK
}};

int Scale(int v, int num, int den) { return MulDivRound(v, num, den); }

template <typename Control>
BrandDialogLayout<Control> ScaleLayout(Size client, const std::array<Design, BrandDialogLayout<Control>::kCount>& design,
                                       int messageFontHeight) {
  const int num = messageFontHeight == 0 ? kDesignFontHeight : std::abs(messageFontHeight);
  const auto s = [num](int v) { return Scale(v, num, kDesignFontHeight); };
  BrandDialogLayout<Control> layout;
  layout.client = {s(client.width), s(client.height)};
  layout.nameFontHeight = -s(kDesignNameHeight);
  for (std::size_t i = 0; i < design.size(); ++i) {
    const Design& d = design[i];
    layout.bounds[i] = MakeRect({s(d.at.x), s(d.at.y)}, {s(d.size.width), s(d.size.height)});
  }
  // Scaled on its own, the band's height could miss the client's by a pixel.
  Rect& band = layout.bounds[static_cast<std::size_t>(Control::Shape1)];
  band.bottom = layout.client.height;
  return layout;
}

}  // namespace

std::string WelcomeText() {
  return "Tarnwick defaults to a single tray icon, which can be right-clicked to activate any of these "
         "utilities.\r\n\r\n"
         "If you are doing intensive screen work, Tarnwick can display separate icons for any or all of the "
         "separate utilities - allowing quick access with a single click.\r\n\r\n"
         "Any of these separated icons can be right-clicked to reveal the complete Tarnwick menu.";
}

AboutLayout ScaleAboutLayout(int messageFontHeight) {
  return ScaleLayout<AboutControl>(kAboutClient, kAboutDesign, messageFontHeight);
}

FirstRunLayout ScaleFirstRunLayout(int messageFontHeight) {
  return ScaleLayout<FirstRunControl>(kFirstRunClient, kFirstRunDesign, messageFontHeight);
}

Rect CentredPicture(const Rect& image, Size picture) {
  return MakeRect({image.left + (image.Width() - picture.width) / 2, image.top + (image.Height() - picture.height) / 2},
                  picture);
}

bool FirstRunDue(bool firstStart, const std::vector<std::string>& args) {
  if (firstStart) return true;
  if (args.empty()) return false;
  std::string first = args.front();
  std::transform(first.begin(), first.end(), first.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return first == "/F";
}

}  // namespace tw
