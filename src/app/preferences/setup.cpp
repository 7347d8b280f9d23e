#include "app/preferences/setup.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace tw {

namespace {

// The design layout: each control's bounds in the design's pixels, relative
// to its group (or to the dialog for a group and the controls outside one).
struct DesignBox {
  int left, top, width, height;
};
struct DesignBounds {
  SetupControl control;
  SetupControl parent;  // Count: the dialog itself
  DesignBox r;
  int help;
};

constexpr SetupControl kDialog = SetupControl::Count;
constexpr int kLabelHeight = 13;

// The value labels keep the right edges of their design and are wider to the
// left: "1600 pix" and "x10" do not fit the design's widths in Tahoma.
constexpr DesignBounds kDesign[] = {
    {SetupControl::grbTrayIcons, kDialog, {16, 12, 193, 57}, 14},
    {SetupControl::chbMagnifier, SetupControl::grbTrayIcons, {12, 16, 81, 17}, 14},
    {SetupControl::chbScreenshot, SetupControl::grbTrayIcons, {12, 32, 81, 17}, 14},
    {SetupControl::chbMeasurer, SetupControl::grbTrayIcons, {104, 16, 81, 17}, 14},
    {SetupControl::chbDropper, SetupControl::grbTrayIcons, {104, 32, 81, 17}, 14},
    {SetupControl::grbHotKeys, kDialog, {16, 76, 193, 117}, 15},
    {SetupControl::lblMagnifier, SetupControl::grbHotKeys, {12, 20, 60, kLabelHeight}, 0},
    {SetupControl::htkMagnifier, SetupControl::grbHotKeys, {76, 16, 105, 19}, 15},
    {SetupControl::lblScreenshot, SetupControl::grbHotKeys, {12, 44, 60, kLabelHeight}, 0},
    {SetupControl::htkScreenshot, SetupControl::grbHotKeys, {76, 40, 105, 19}, 15},
    {SetupControl::lblMeasurer, SetupControl::grbHotKeys, {12, 68, 60, kLabelHeight}, 0},
    {SetupControl::htkMeasurer, SetupControl::grbHotKeys, {76, 64, 105, 19}, 15},
    {SetupControl::lblDropper, SetupControl::grbHotKeys, {12, 92, 60, kLabelHeight}, 0},
    {SetupControl::htkDropper, SetupControl::grbHotKeys, {76, 88, 105, 19}, 15},
    {SetupControl::grbCalibrator, kDialog, {16, 200, 193, 113}, 0},
    {SetupControl::lblInche, SetupControl::grbCalibrator, {12, 24, 30, kLabelHeight}, 0},
    {SetupControl::lblCM, SetupControl::grbCalibrator, {12, 54, 30, kLabelHeight}, 0},
    {SetupControl::pnlCalibrator, SetupControl::grbCalibrator, {44, 20, 137, 53}, 30},
    {SetupControl::lblDPI, SetupControl::grbCalibrator, {12, 84, 30, kLabelHeight}, 0},
    {SetupControl::edtDPI, SetupControl::grbCalibrator, {44, 80, 121, 21}, 31},
    {SetupControl::udnDPI, SetupControl::grbCalibrator, {165, 80, 18, 21}, 31},
    {SetupControl::grbMagnifier, kDialog, {220, 12, 189, 237}, 0},
    {SetupControl::lblWidth, SetupControl::grbMagnifier, {12, 16, 60, kLabelHeight}, 0},
    {SetupControl::lblWidthValue, SetupControl::grbMagnifier, {114, 16, 60, kLabelHeight}, 0},
    {SetupControl::trbWidth, SetupControl::grbMagnifier, {4, 32, 181, 22}, 16},
    {SetupControl::lblHeight, SetupControl::grbMagnifier, {12, 56, 60, kLabelHeight}, 0},
    {SetupControl::lblHeightValue, SetupControl::grbMagnifier, {114, 56, 60, kLabelHeight}, 0},
    {SetupControl::trbHeight, SetupControl::grbMagnifier, {4, 72, 181, 22}, 17},
    {SetupControl::lblZoom, SetupControl::grbMagnifier, {12, 96, 60, kLabelHeight}, 0},
    {SetupControl::lblZoomValue, SetupControl::grbMagnifier, {145, 100, 30, kLabelHeight}, 0},
    {SetupControl::trbZoom, SetupControl::grbMagnifier, {4, 112, 181, 22}, 18},
    {SetupControl::rgrHighContrast, SetupControl::grbMagnifier, {12, 152, 81, 73}, 29},
    {SetupControl::rbHighContrastOff, SetupControl::rgrHighContrast, {8, 16, 69, 17}, 29},
    {SetupControl::rbHighContrastMedium, SetupControl::rgrHighContrast, {8, 34, 69, 17}, 29},
    {SetupControl::rbHighContrastHigh, SetupControl::rgrHighContrast, {8, 52, 69, 17}, 29},
    {SetupControl::rgrMagnifierCursor, SetupControl::grbMagnifier, {104, 152, 73, 73}, 19},
    {SetupControl::rbCursorNone, SetupControl::rgrMagnifierCursor, {8, 16, 61, 17}, 19},
    {SetupControl::rbCursorArrow, SetupControl::rgrMagnifierCursor, {8, 34, 61, 17}, 19},
    {SetupControl::rbCursorCross, SetupControl::rgrMagnifierCursor, {8, 52, 61, 17}, 19},
    {SetupControl::grbJPEGOptions, kDialog, {220, 256, 189, 57}, 0},
    {SetupControl::lblJPEGQuality, SetupControl::grbJPEGOptions, {12, 28, 40, kLabelHeight}, 0},
    {SetupControl::edtJPEGQuality, SetupControl::grbJPEGOptions, {56, 24, 105, 21}, 32},
    {SetupControl::udnJPEGQuality, SetupControl::grbJPEGOptions, {161, 24, 18, 21}, 32},
    {SetupControl::chbAutoStart, kDialog, {16, 324, 161, 17}, 20},
    {SetupControl::btnOk, kDialog, {248, 328, 77, 25}, 21},
    {SetupControl::btnCancel, kDialog, {332, 328, 77, 25}, 22},
};
static_assert(std::size(kDesign) == kSetupControlCount);

constexpr Size kDesignClient{424, 368};
constexpr int kDesignFontHeight = 11;

int Scale(int v, int num, int den) { return MulDivRound(v, num, den); }

constexpr bool DesignInOrder() {
  for (std::size_t i = 0; i < std::size(kDesign); ++i)
    if (static_cast<std::size_t>(kDesign[i].control) != i) return false;
  return true;
}
static_assert(DesignInOrder(), "the table follows the order of SetupControl");

}  // namespace

std::int32_t SetupRange::Clamp(std::int64_t v) const {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, min, max));
}

HotKeyFieldValue ShortcutToHotKeyField(std::uint16_t code) {
  HotKeyFieldValue f;
  f.key = static_cast<std::uint8_t>(code & 0xFF);
  if ((code & kShortcutShift) != 0) f.modifiers |= kHotKeyFieldShift;
  if ((code & kShortcutCtrl) != 0) f.modifiers |= kHotKeyFieldCtrl;
  if ((code & kShortcutAlt) != 0) f.modifiers |= kHotKeyFieldAlt;
  return f;
}

std::uint16_t HotKeyFieldToShortcut(HotKeyFieldValue field) {
  if (field.key == 0) return 0;
  std::uint16_t code = field.key;
  if ((field.modifiers & kHotKeyFieldShift) != 0) code |= kShortcutShift;
  if ((field.modifiers & kHotKeyFieldCtrl) != 0) code |= kShortcutCtrl;
  if ((field.modifiers & kHotKeyFieldAlt) != 0) code |= kShortcutAlt;
  return code;
}

RulerPlan PlanCalibratorRuler(Size box, std::int32_t dpi) {
  RulerPlan plan;
  // Below 1 there is no inch to step by (and 0 would never end).
  if (dpi < 1) return plan;
  const int w = box.width;
  const int y0 = box.height / 2;
  plan.lines.push_back({{8, y0}, {w - 8, y0}});
  for (long long i = 0; i * dpi < w - 16; ++i) {
    const int x = 8 + static_cast<int>(i * dpi);
    plan.inchMarks.push_back(x);
    plan.lines.push_back({{x, y0}, {x, y0 - 8}});
    plan.numbers.push_back({std::to_string(i), x, y0 - 8, true});
  }
  for (long long n = 0;; ++n) {
    // n * 100 * dpi is whole; a centimetre is that over 254, to the nearest
    // pixel (never a half: 127 is odd and the product even).
    const long long c = std::llround(static_cast<double>(n * 100 * dpi) / 254.0);
    if (c >= w - 16) break;
    const int x = 8 + static_cast<int>(c);
    plan.cmMarks.push_back(x);
    plan.lines.push_back({{x, y0}, {x, y0 + 8}});
    plan.numbers.push_back({std::to_string(n), x, y0 + 9, false});
  }
  return plan;
}

SetupLayout ScaleSetupLayout(int messageFontHeight) {
  const int num = messageFontHeight == 0 ? kDesignFontHeight : std::abs(messageFontHeight);
  const auto s = [num](int v) { return Scale(v, num, kDesignFontHeight); };
  SetupLayout layout;
  layout.client = {s(kDesignClient.width), s(kDesignClient.height)};
  for (const DesignBounds& d : kDesign) {
    // Positions add up in design pixels and are scaled once, so that a
    // control keeps its place in its group exactly as the group scales.
    Point origin{d.r.left, d.r.top};
    for (SetupControl p = d.parent; p != kDialog; p = kDesign[static_cast<std::size_t>(p)].parent) {
      origin.x += kDesign[static_cast<std::size_t>(p)].r.left;
      origin.y += kDesign[static_cast<std::size_t>(p)].r.top;
    }
    const int left = s(origin.x), top = s(origin.y);
    layout.bounds[static_cast<std::size_t>(d.control)] = {left, top, left + s(d.r.width), top + s(d.r.height)};
  }
  return layout;
}

int SetupHelpTopic(SetupControl control) {
  const auto i = static_cast<std::size_t>(control);
  return i < std::size(kDesign) ? kDesign[i].help : 0;
}

std::string_view SetupHelpText(int topic) {
  switch (topic) {
    case 14:
      return "Each tool ticked here gets a tray icon of its own: a left click on it starts that tool. With none "
             "ticked, only the main Tarnwick icon is shown.";
    case 15:
      return "Click a field and press the keys that should start this tool from any program, with Shift, Ctrl or "
             "Alt. Backspace clears the field. New hot keys work as soon as you press OK.";
    case 16: return "The width of the Magnifier's lens, from 50 to 1600 pixels in steps of 10.";
    case 17: return "The height of the Magnifier's lens, from 50 to 1600 pixels in steps of 10.";
    case 18:
      return "How many times the lens magnifies, from 1 to 10. During a run, Ctrl+left click zooms in and "
             "Ctrl+right click zooms out.";
    case 19: return "The mouse cursor over the screen during a Magnifier run: none, an arrow or a cross.";
    case 20: return "Starts Tarnwick each time you log on to Windows.";
    case 21: return "Keeps the changes: they are saved, and new hot keys and tray icons take effect at once.";
    case 22: return "Closes the dialog and leaves every setting as it was.";
    case 29:
      return "Medium and High raise the contrast of what the lens shows, so that faint edges and nearly equal "
             "colours stand out; Off shows the screen as it is.";
    case 30:
      return "A ruler drawn at the DPI below. Hold a real ruler against the screen and change the DPI until the "
             "inch and centimetre marks match it.";
    case 31:
      return "The screen's pixels per inch, from 25 to 9999. The Measurer uses it for its inches and "
             "millimetres, and the ruler above is drawn with it.";
    case 32:
      return "The quality of screenshots saved as JPEG, from 1 to 100: a higher number makes a larger file "
             "that looks more like the screen.";
    default:
      return "Tarnwick's options: the tray icons, the hot keys that start each tool, the screen's DPI for the "
             "Measurer, the Magnifier's lens and the JPEG quality. Press F1 on any control for help on it.";
  }
}

void TfrmSetup::CopyIn(const TSettings& s) {
  Values.width = kLensTrackRange.Clamp(s.ZoomWidth / kLensSizeStep);
  Values.height = kLensTrackRange.Clamp(s.ZoomHeight / kLensSizeStep);
  Values.zoom = kZoomTrackRange.Clamp(s.Scale);
  for (int t = 0; t < kToolCount; ++t) {
    const auto i = static_cast<std::size_t>(t);
    storedKeys_[i] = s.ToolKey(t);
    Values.hotKeys[i] = shownKeys_[i] = ShortcutToHotKeyField(storedKeys_[i]);
    Values.trayIcons[i] = (s.IconFlags & (1u << t)) != 0;
  }
  Values.magnifierCursor = std::clamp(static_cast<int>(s.MagnifierCursor), -1, kRadioItems - 1);
  Values.highContrast = std::clamp(static_cast<int>(s.HighContrast), -1, kRadioItems - 1);
  Values.dpi = kDpiRange.Clamp(s.DPI);
  Values.jpegQuality = kJpegQualityRange.Clamp(s.JPEGQuality);
  Values.autoStart = s.AutoStart;
}

void TfrmSetup::CopyOut(TSettings& s) const {
  s.ZoomWidth = Values.width * kLensSizeStep;
  s.ZoomHeight = Values.height * kLensSizeStep;
  s.Scale = Values.zoom;
  std::array<std::uint16_t*, kToolCount> keys{&s.MagnifierKey, &s.ScreenshotKey, &s.MeasurerKey, &s.DropperKey};
  s.IconFlags = 0;
  for (std::size_t i = 0; i < keys.size(); ++i) {
    *keys[i] = Values.hotKeys[i] == shownKeys_[i] ? storedKeys_[i] : HotKeyFieldToShortcut(Values.hotKeys[i]);
    if (Values.trayIcons[i]) s.IconFlags = static_cast<std::uint8_t>(s.IconFlags | (1u << i));
  }
  s.MagnifierCursor = static_cast<LensCursor>(Values.magnifierCursor);
  s.HighContrast = static_cast<ContrastLevel>(Values.highContrast & 0xFF);
  s.DPI = Values.dpi;
  s.JPEGQuality = Values.jpegQuality;
  s.AutoStart = Values.autoStart;
}

std::string TfrmSetup::LensValueText(std::int32_t position) { return std::to_string(position * kLensSizeStep) + " pix"; }

bool TfrmSetup::KeyPasses(char32_t ch) { return ch == 8 || ch == '.' || (ch >= '0' && ch <= '9'); }

}  // namespace tw
