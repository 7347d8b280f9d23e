// TfrmSetup: the Preferences dialog's model. It holds what the dialog's
// controls hold, moves it to and from the settings record as the controls
// would (each limits what it is given to its own range), and knows the texts,
// the calibrator ruler and the scaled layout that the dialog shows. The
// Win32 dialog only puts these into its controls and reads them back.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <string_view>
#include <vector>

#include "core/geometry.h"
#include "model/limits.h"
#include "model/settings.h"

namespace tw {

// A hot-key field's value as the control holds it: an 8-bit key and its
// modifier flags (Shift 1, Ctrl 2, Alt 4, the extended-key flag 8).
struct HotKeyFieldValue {
  std::uint8_t key = 0;
  std::uint8_t modifiers = 0;
  friend bool operator==(const HotKeyFieldValue&, const HotKeyFieldValue&) = default;
};
inline constexpr std::uint8_t kHotKeyFieldShift = 1, kHotKeyFieldCtrl = 2, kHotKeyFieldAlt = 4,
                              kHotKeyFieldExtended = 8;

HotKeyFieldValue ShortcutToHotKeyField(std::uint16_t code);
// A field without a key is no hot key: 0.
std::uint16_t HotKeyFieldToShortcut(HotKeyFieldValue field);

// The controls' ranges.
struct SetupRange {
  std::int32_t min, max;
  [[nodiscard]] std::int32_t Clamp(std::int64_t v) const;
};
// ZoomWidth and ZoomHeight in steps of kLensSizeStep pixels, up to 1600.
inline constexpr SetupRange kLensTrackRange{kMinOfferedLensSize / kLensSizeStep, 1600 / kLensSizeStep};
inline constexpr SetupRange kZoomTrackRange{kMinScale, kMaxOfferedScale};
inline constexpr SetupRange kDpiRange{25, 9999};
inline constexpr SetupRange kJpegQualityRange{1, 100};
inline constexpr int kRadioItems = 3;  // both radio groups

// Everything the dialog's controls hold, in the order of the tab stops.
struct SetupValues {
  std::array<bool, kToolCount> trayIcons{};  // chbMagnifier ... chbDropper
  std::array<HotKeyFieldValue, kToolCount> hotKeys{};  // htkMagnifier ... htkDropper
  std::int32_t dpi = 96;  // udnDPI
  std::int32_t width = 10, height = 10, zoom = 2;  // trbWidth, trbHeight, trbZoom
  int highContrast = 0, magnifierCursor = 0;  // item index, -1 for none
  std::int32_t jpegQuality = 50;  // udnJPEGQuality
  bool autoStart = true;
  friend bool operator==(const SetupValues&, const SetupValues&) = default;
};

// The ruler a calibrator of `box` size draws at `dpi` pixels per inch:
// lines from a to b (b itself not drawn) and numbers, each centred on x, the
// inch numbers with their bottom and the centimetre numbers with their top
// on y.
struct RulerLine {
  Point a, b;
};
struct RulerNumber {
  std::string text;
  int x, y;
  bool above;  // an inch number: its bottom edge on y
};
struct RulerPlan {
  std::vector<RulerLine> lines;
  std::vector<RulerNumber> numbers;
  std::vector<int> inchMarks, cmMarks;  // the marks' x
};
RulerPlan PlanCalibratorRuler(Size box, std::int32_t dpi);

// The dialog's controls, for the layout table; the ids of the resource are
// these values plus kSetupFirstControlId.
enum class SetupControl {
  grbTrayIcons, chbMagnifier, chbScreenshot, chbMeasurer, chbDropper,
  grbHotKeys, lblMagnifier, htkMagnifier, lblScreenshot, htkScreenshot, lblMeasurer, htkMeasurer, lblDropper,
  htkDropper,
  grbCalibrator, lblInche, lblCM, pnlCalibrator, lblDPI, edtDPI, udnDPI,
  grbMagnifier, lblWidth, lblWidthValue, trbWidth, lblHeight, lblHeightValue, trbHeight, lblZoom, lblZoomValue,
  trbZoom, rgrHighContrast, rbHighContrastOff, rbHighContrastMedium, rbHighContrastHigh, rgrMagnifierCursor,
  rbCursorNone, rbCursorArrow, rbCursorCross,
  grbJPEGOptions, lblJPEGQuality, edtJPEGQuality, udnJPEGQuality,
  chbAutoStart, btnOk, btnCancel,
  Count
};
inline constexpr int kSetupControlCount = static_cast<int>(SetupControl::Count);
inline constexpr int kSetupFirstControlId = 1000;

struct SetupLayout {
  Size client;  // the dialog's client area
  std::array<Rect, kSetupControlCount> bounds;  // in the dialog's client area
  [[nodiscard]] const Rect& operator[](SetupControl c) const { return bounds[static_cast<std::size_t>(c)]; }
};
// The design layout scaled by |messageFontHeight| / 11 (a height of 0, no
// font read, scales by 1).
SetupLayout ScaleSetupLayout(int messageFontHeight);

// The help topic of a control, 0 for none.
int SetupHelpTopic(SetupControl control);
// What F1 shows for a topic: one or two sentences for the user. Topic 0, and
// any number the dialog does not use, is the dialog's general help.
std::string_view SetupHelpText(int topic);

class TfrmSetup {
 public:
  SetupValues Values;
  // Where F1 looks for a control's help topic.
  std::string HelpFile;

  // The settings into the controls, limited as the controls limit them.
  void CopyIn(const TSettings& settings);
  // The controls into the settings. A hot-key field that still shows what
  // was copied in keeps its stored code: the field keeps only a key byte,
  // and a code it cannot show would come back as another hot key.
  void CopyOut(TSettings& settings) const;

  // The value labels of the three track bars.
  [[nodiscard]] std::string WidthValueText() const { return LensValueText(Values.width); }
  [[nodiscard]] std::string HeightValueText() const { return LensValueText(Values.height); }
  [[nodiscard]] std::string ZoomValueText() const { return "x" + std::to_string(Values.zoom); }
  static std::string LensValueText(std::int32_t position);

  // The number fields take digits, '.' and Backspace; false for anything
  // else, which the dialog refuses with a beep.
  static bool KeyPasses(char32_t ch);

 private:
  std::array<std::uint16_t, kToolCount> storedKeys_{};
  std::array<HotKeyFieldValue, kToolCount> shownKeys_{};
};

}  // namespace tw
