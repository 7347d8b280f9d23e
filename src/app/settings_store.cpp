#include "app/settings_store.h"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <memory>

#include "core/error.h"
#include "tarnwick_version.h"

namespace tw {
namespace {

// One setting as it is stored: `get` gives the integer whose decimal text is
// written (16- and 8-bit settings widened without sign, booleans as 0 or 1);
// `set` takes a stored integer and keeps what fits the setting.
struct SettingField {
  std::string_view name;
  std::int32_t (*get)(const TSettings&);
  void (*set)(TSettings&, std::int32_t);
};

template <int Bit>
std::int32_t GetIcon(const TSettings& s) {
  return (s.IconFlags >> Bit) & 1;
}
template <int Bit>
void SetIcon(TSettings& s, std::int32_t v) {
  constexpr auto mask = static_cast<std::uint8_t>(1u << Bit);
  s.IconFlags = static_cast<std::uint8_t>(v != 0 ? (s.IconFlags | mask) : (s.IconFlags & ~mask));
}

// In the order LoadSettings reads them.
const SettingField kFields[] = {
    {"MagnifierIcon", GetIcon<kMagnifier>, SetIcon<kMagnifier>},
    {"ScreenshotIcon", GetIcon<kScreenshot>, SetIcon<kScreenshot>},
    {"MeasurerIcon", GetIcon<kMeasurer>, SetIcon<kMeasurer>},
    {"DropperIcon", GetIcon<kDropper>, SetIcon<kDropper>},
    {"ZoomWidth", [](const TSettings& s) { return s.ZoomWidth; },
     [](TSettings& s, std::int32_t v) { s.ZoomWidth = v; }},
    {"ZoomHeight", [](const TSettings& s) { return s.ZoomHeight; },
     [](TSettings& s, std::int32_t v) { s.ZoomHeight = v; }},
    {"HighContrast", [](const TSettings& s) { return static_cast<std::int32_t>(s.HighContrast); },
     [](TSettings& s, std::int32_t v) { s.HighContrast = static_cast<ContrastLevel>(static_cast<std::uint8_t>(v)); }},
    {"Scale", [](const TSettings& s) { return s.Scale; },
     [](TSettings& s, std::int32_t v) { s.Scale = v; }},
    {"MagnifierKey", [](const TSettings& s) { return std::int32_t{s.MagnifierKey}; },
     [](TSettings& s, std::int32_t v) { s.MagnifierKey = static_cast<std::uint16_t>(v); }},
    {"ScreenshotKey", [](const TSettings& s) { return std::int32_t{s.ScreenshotKey}; },
     [](TSettings& s, std::int32_t v) { s.ScreenshotKey = static_cast<std::uint16_t>(v); }},
    {"MeasurerKey", [](const TSettings& s) { return std::int32_t{s.MeasurerKey}; },
     [](TSettings& s, std::int32_t v) { s.MeasurerKey = static_cast<std::uint16_t>(v); }},
    {"DropperKey", [](const TSettings& s) { return std::int32_t{s.DropperKey}; },
     [](TSettings& s, std::int32_t v) { s.DropperKey = static_cast<std::uint16_t>(v); }},
    {"MagnifierCursor", [](const TSettings& s) { return static_cast<std::int32_t>(s.MagnifierCursor); },
     [](TSettings& s, std::int32_t v) { s.MagnifierCursor = static_cast<LensCursor>(v); }},
    {"InfoScale", [](const TSettings& s) { return s.InfoScale; },
     [](TSettings& s, std::int32_t v) { s.InfoScale = v; }},
    {"ScreenshotPosX", [](const TSettings& s) { return s.ScreenshotPos.x; },
     [](TSettings& s, std::int32_t v) { s.ScreenshotPos.x = v; }},
    {"ScreenshotPosY", [](const TSettings& s) { return s.ScreenshotPos.y; },
     [](TSettings& s, std::int32_t v) { s.ScreenshotPos.y = v; }},
    {"MeasurerPosX", [](const TSettings& s) { return s.MeasurerPos.x; },
     [](TSettings& s, std::int32_t v) { s.MeasurerPos.x = v; }},
    {"MeasurerPosY", [](const TSettings& s) { return s.MeasurerPos.y; },
     [](TSettings& s, std::int32_t v) { s.MeasurerPos.y = v; }},
    {"DropperPosX", [](const TSettings& s) { return s.DropperPos.x; },
     [](TSettings& s, std::int32_t v) { s.DropperPos.x = v; }},
    {"DropperPosY", [](const TSettings& s) { return s.DropperPos.y; },
     [](TSettings& s, std::int32_t v) { s.DropperPos.y = v; }},
    {"DPI", [](const TSettings& s) { return s.DPI; },
     [](TSettings& s, std::int32_t v) { s.DPI = v; }},
    {"JPEGQuality", [](const TSettings& s) { return s.JPEGQuality; },
     [](TSettings& s, std::int32_t v) { s.JPEGQuality = v; }},
    {"JPEGProgressive", [](const TSettings& s) { return std::int32_t{s.JPEGProgressive}; },
     [](TSettings& s, std::int32_t v) { s.JPEGProgressive = v != 0; }},
    {"AutoStart", [](const TSettings& s) { return std::int32_t{s.AutoStart}; },
     [](TSettings& s, std::int32_t v) { s.AutoStart = v != 0; }},
};

// The save order differs from the load order in one place: Scale is written
// before HighContrast. Indices into kFields.
constexpr int kSaveOrder[] = {0,  1,  2,  3,  4,  5,  7,  6,  8,  9,  10, 11,
                              12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23};
static_assert(std::size(kSaveOrder) == std::size(kFields));

std::string Quoted(std::string_view name) { return "'" + std::string(name) + "'"; }

std::unique_ptr<IRegistryKey> CreateKeyOrRaise(IRegistryPort& registry, std::string_view path) {
  auto key = registry.CreateKey(std::string(path));
  if (!key) throw Error("Failed to create key " + std::string(path));
  return key;
}

void WriteText(IRegistryKey& parent, std::string_view subKey, std::string_view name,
               const std::string& text) {
  auto key = parent.CreateSubKey(std::string(subKey));
  if (!key) throw Error("Failed to create key " + std::string(subKey));
  if (!key->WriteString(std::string(name), text))
    throw Error("Failed to set data for " + Quoted(name));
}

// No value (or no key) and text that is not an integer give nothing, so that
// the caller keeps its default; a value of another type is an error.
std::optional<std::int32_t> ReadInteger(IRegistryKey& parent, std::string_view subKey,
                                        std::string_view name) {
  auto key = parent.OpenSubKey(std::string(subKey));
  if (!key) return std::nullopt;
  const RegistryValue value = key->ReadValue(std::string(name));
  switch (value.status) {
    case RegistryRead::Missing: return std::nullopt;
    case RegistryRead::Unreadable: throw Error("Failed to get data for " + Quoted(name));
    case RegistryRead::Found: break;
  }
  if (!IsTextType(value.type)) throw Error("Invalid data type for " + Quoted(name));
  return ParseRegistryInteger(value.text);
}

// Runs SanitizeSettings however LoadSettings leaves, so that values read
// before a failing one cannot stay unsafe.
class SanitizeOnExit {
 public:
  SanitizeOnExit(TSettings& settings, int screenDpi) : settings_(settings), screenDpi_(screenDpi) {}
  SanitizeOnExit(const SanitizeOnExit&) = delete;
  SanitizeOnExit& operator=(const SanitizeOnExit&) = delete;
  ~SanitizeOnExit() { SanitizeSettings(settings_, screenDpi_); }

 private:
  TSettings& settings_;
  int screenDpi_;
};

void Bound(std::int32_t& value, std::int32_t fallback, std::int32_t min, std::int32_t max) {
  if (value < min)
    value = fallback;
  else if (value > max)
    value = max;
}

}  // namespace

std::optional<std::int32_t> ParseRegistryInteger(std::string_view text) {
  // from_chars takes a minus sign but not a plus sign.
  if (text.size() > 1 && text.front() == '+' && text[1] != '-') text.remove_prefix(1);
  std::int32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

void LoadSettings(TSettings& settings, IRegistryPort& registry, const std::string& programPath,
                  int screenDpi) {
  settings.DPI = screenDpi;
  const SanitizeOnExit sanitize(settings, screenDpi);

  const auto maker = CreateKeyOrRaise(registry, kMakerKey);
  WriteText(*maker, kProductKey, "@Name", "Tarnwick");
  WriteText(*maker, kProductKey, "@Path", programPath);
  WriteText(*maker, kProductKey, "@Version", TARNWICK_VERSION_TEXT);
  for (const SettingField& field : kFields)
    if (const auto value = ReadInteger(*maker, kOptionsKey, field.name))
      field.set(settings, *value);
}

void SaveSettings(const TSettings& settings, IRegistryPort& registry,
                  const std::string& programPath) {
  {
    const auto maker = CreateKeyOrRaise(registry, kMakerKey);
    for (const int index : kSaveOrder) {
      const SettingField& field = kFields[index];
      WriteText(*maker, kOptionsKey, field.name, std::to_string(field.get(settings)));
    }
  }
  if (settings.AutoStart) {
    const auto run = CreateKeyOrRaise(registry, kRunKey);
    if (!run->WriteString(std::string(kAutoStartValue), AutoStartCommand(programPath)))
      throw Error("Failed to set data for " + Quoted(kAutoStartValue));
  } else if (const auto run = registry.OpenKey(std::string(kRunKey))) {
    // A missing entry is what we want anyway.
    run->DeleteValue(std::string(kAutoStartValue));
  }
}

void SanitizeSettings(TSettings& settings, int screenDpi) {
  const TSettings defaults;
  Bound(settings.ZoomWidth, defaults.ZoomWidth, kMinLensSize, kMaxLensSize);
  Bound(settings.ZoomHeight, defaults.ZoomHeight, kMinLensSize, kMaxLensSize);
  Bound(settings.Scale, defaults.Scale, kMinScale, kMaxScale);
  Bound(settings.InfoScale, defaults.InfoScale, kMinInfoScale, kMaxInfoScale);
  if (settings.DPI < 1) settings.DPI = screenDpi >= 1 ? screenDpi : defaults.DPI;
  settings.IconFlags &= kAllTools;
  for (Point* position : {&settings.ScreenshotPos, &settings.MeasurerPos, &settings.DropperPos}) {
    position->x = std::clamp(position->x, kMinWindowCoordinate, kMaxWindowCoordinate);
    position->y = std::clamp(position->y, kMinWindowCoordinate, kMaxWindowCoordinate);
  }
}

std::string AutoStartCommand(const std::string& programPath) {
  if (programPath.find(' ') == std::string::npos) return programPath;
  return "\"" + programPath + "\"";
}

bool IsFirstStart(IRegistryPort& registry) {
  const auto maker = registry.OpenKey(std::string(kMakerKey));
  if (!maker) return true;
  if (const auto product = maker->OpenSubKey(std::string(kProductKey))) {
    if (product->ReadValue(std::string(kStartedValue)).status != RegistryRead::Missing)
      return false;
  }
  return maker->OpenSubKey(std::string(kOptionsKey)) == nullptr;
}

void RecordStart(IRegistryPort& registry) {
  const auto maker = CreateKeyOrRaise(registry, kMakerKey);
  WriteText(*maker, kProductKey, kStartedValue, "1");
}

}  // namespace tw
