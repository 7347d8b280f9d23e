// The registry as input: the options key's values and the product key's
// "@Started", each of any type and any bytes, present or missing, readable
// or not, with the keys themselves failing now and then.
//
// Input: one byte of situation (bit 0: the maker key cannot be created;
// bit 1: "@Name" cannot be written; bit 2: there is no options key; bits 3-4:
// the screen's DPI, one of 96, 144, 0, -7; bit 5: the loaded record is saved
// again and what is written checked, which costs as much as the load), then
// records until the end: the value (byte mod 25: the 24 options in load
// order, then "@Started"), its kind (byte mod 4: REG_SZ, REG_EXPAND_SZ, REG_SZ
// that cannot be fetched, or a type in the next 4 bytes), its data's length
// (2 bytes) and that many bytes of data, fewer at the end. A later record of
// a value replaces an earlier one.
#include <array>
#include <charconv>
#include <cstdint>
#include <limits>

#include "app/settings_store.h"
#include "core/error.h"
#include "fakes/fake_registry.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_targets.h"
#include "fuzz/slot_registry.h"

namespace tw::fuzz {
namespace {

const std::string kProgram = "C:\\Program Files\\Tarnwick\\Tarnwick.exe";
constexpr std::int64_t kIntMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kIntMax = std::numeric_limits<std::int32_t>::max();

// An option as the harness sees it, apart from the store's own table: the
// integer its setting shows, and the stored integers that load unchanged.
struct Option {
  std::string_view name;
  std::int64_t (*get)(const TSettings&);
  std::int64_t low, high;
};

template <int Bit>
std::int64_t IconBit(const TSettings& s) {
  return (s.IconFlags >> Bit) & 1;
}

// In the order the store reads them.
const std::array<Option, 24> kOptions{{
    {"MagnifierIcon", IconBit<kMagnifier>, 0, 1},
    {"ScreenshotIcon", IconBit<kScreenshot>, 0, 1},
    {"MeasurerIcon", IconBit<kMeasurer>, 0, 1},
    {"DropperIcon", IconBit<kDropper>, 0, 1},
    {"ZoomWidth", [](const TSettings& s) -> std::int64_t { return s.ZoomWidth; }, kMinLensSize, kMaxLensSize},
    {"ZoomHeight", [](const TSettings& s) -> std::int64_t { return s.ZoomHeight; }, kMinLensSize, kMaxLensSize},
    {"HighContrast", [](const TSettings& s) -> std::int64_t { return static_cast<std::uint8_t>(s.HighContrast); }, 0, 255},
    {"Scale", [](const TSettings& s) -> std::int64_t { return s.Scale; }, kMinScale, kMaxScale},
    {"MagnifierKey", [](const TSettings& s) -> std::int64_t { return s.MagnifierKey; }, 0, 0xFFFF},
    {"ScreenshotKey", [](const TSettings& s) -> std::int64_t { return s.ScreenshotKey; }, 0, 0xFFFF},
    {"MeasurerKey", [](const TSettings& s) -> std::int64_t { return s.MeasurerKey; }, 0, 0xFFFF},
    {"DropperKey", [](const TSettings& s) -> std::int64_t { return s.DropperKey; }, 0, 0xFFFF},
    {"MagnifierCursor", [](const TSettings& s) -> std::int64_t { return static_cast<std::int32_t>(s.MagnifierCursor); }, kIntMin, kIntMax},
    {"InfoScale", [](const TSettings& s) -> std::int64_t { return s.InfoScale; }, kMinInfoScale, kMaxInfoScale},
    {"ScreenshotPosX", [](const TSettings& s) -> std::int64_t { return s.ScreenshotPos.x; }, kMinWindowCoordinate,
     kMaxWindowCoordinate},
    {"ScreenshotPosY", [](const TSettings& s) -> std::int64_t { return s.ScreenshotPos.y; }, kMinWindowCoordinate,
     kMaxWindowCoordinate},
    {"MeasurerPosX", [](const TSettings& s) -> std::int64_t { return s.MeasurerPos.x; }, kMinWindowCoordinate,
     kMaxWindowCoordinate},
    {"MeasurerPosY", [](const TSettings& s) -> std::int64_t { return s.MeasurerPos.y; }, kMinWindowCoordinate,
     kMaxWindowCoordinate},
    {"DropperPosX", [](const TSettings& s) -> std::int64_t { return s.DropperPos.x; }, kMinWindowCoordinate,
     kMaxWindowCoordinate},
    {"DropperPosY", [](const TSettings& s) -> std::int64_t { return s.DropperPos.y; }, kMinWindowCoordinate,
     kMaxWindowCoordinate},
    {"DPI", [](const TSettings& s) -> std::int64_t { return s.DPI; }, 1, kIntMax},
    {"JPEGQuality", [](const TSettings& s) -> std::int64_t { return s.JPEGQuality; }, kIntMin, kIntMax},
    {"JPEGProgressive", [](const TSettings& s) -> std::int64_t { return s.JPEGProgressive; }, 0, 1},
    {"AutoStart", [](const TSettings& s) -> std::int64_t { return s.AutoStart; }, 0, 1},
}};
constexpr std::size_t kStartedIndex = kOptions.size();  // "@Started", in the product key
constexpr std::size_t kValueCount = kOptions.size() + 1;

enum class Kind { Text, ExpandText, Unreadable, OtherType };

struct StoredValue {
  bool present = false;
  bool unreadable = false;
  RegistryType type = kRegSz;
  std::span<const std::uint8_t> data;
};

struct Situation {
  bool makerFails = false;
  bool nameWriteFails = false;
  bool noOptionsKey = false;
  bool saveAgain = false;
  int screenDpi = 96;
  std::array<StoredValue, kValueCount> values;
};

Situation Decode(const std::uint8_t* data, std::size_t size) {
  FuzzReader in(data, size);
  Situation s;
  const std::uint8_t flags = in.Byte();
  s.makerFails = (flags & 1) != 0;
  s.nameWriteFails = (flags & 2) != 0;
  s.noOptionsKey = (flags & 4) != 0;
  constexpr std::array<int, 4> kScreenDpis{96, 144, 0, -7};
  s.screenDpi = kScreenDpis[(flags >> 3) & 3];
  s.saveAgain = (flags & 32) != 0;
  while (!in.Empty()) {
    StoredValue& v = s.values[in.Byte() % kValueCount];
    v = StoredValue{.present = true};
    switch (static_cast<Kind>(in.Byte() % 4)) {
      case Kind::Text: v.type = kRegSz; break;
      case Kind::ExpandText: v.type = kRegExpandSz; break;
      case Kind::Unreadable: v.unreadable = true; break;
      case Kind::OtherType: v.type = in.U32(); break;
    }
    v.data = in.Take(in.U16());
  }
  return s;
}

// Every setting within what the program can use: the divisors at least 1,
// lens sizes that make a capture bitmap of sane size, icon bits of the four
// tools only, and window positions that the info window's arithmetic can
// move without overflow.
void CheckUsable(const TSettings& s) {
  TW_FUZZ_CHECK(s.ZoomWidth >= kMinLensSize && s.ZoomWidth <= kMaxLensSize);
  TW_FUZZ_CHECK(s.ZoomHeight >= kMinLensSize && s.ZoomHeight <= kMaxLensSize);
  TW_FUZZ_CHECK(s.Scale >= kMinScale && s.Scale <= kMaxScale);
  TW_FUZZ_CHECK(s.InfoScale >= kMinInfoScale && s.InfoScale <= kMaxInfoScale);
  TW_FUZZ_CHECK(s.DPI >= 1);
  TW_FUZZ_CHECK((s.IconFlags & ~kAllTools) == 0);
  for (const Point p : {s.ScreenshotPos, s.MeasurerPos, s.DropperPos}) {
    TW_FUZZ_CHECK(p.x >= kMinWindowCoordinate && p.x <= kMaxWindowCoordinate);
    TW_FUZZ_CHECK(p.y >= kMinWindowCoordinate && p.y <= kMaxWindowCoordinate);
  }
}

std::string Quoted(std::string_view name) { return "'" + std::string(name) + "'"; }

FuzzOutcome RunRegistrySettings(const std::uint8_t* data, std::size_t size) {
  const Situation s = Decode(data, size);
  // Kept from case to case, with their room: a case allocates little.
  static SlotRegistry registry, saved;
  registry.Clear();
  if (!s.noOptionsKey) registry.AddKey(SlotRegistry::kOptions);
  static std::array<std::string, kValueCount> texts;
  for (std::size_t i = 0; i < kValueCount; ++i) {
    const StoredValue& v = s.values[i];
    texts[i].clear();
    if (!v.present || (i < kStartedIndex && s.noOptionsKey)) continue;
    if (IsTextType(v.type)) fakes::RegistryDataText(v.data, texts[i]);
    if (i < kStartedIndex)
      registry.SetValue(SlotRegistry::kOptions, kOptions[i].name, v.type, texts[i], v.unreadable);
    else
      registry.SetValue(SlotRegistry::kProduct, kStartedValue, v.type, texts[i], v.unreadable);
  }
  registry.makerFails = s.makerFails;
  if (s.nameWriteFails) registry.failingProductWrite = "@Name";

  TSettings settings;
  std::optional<std::string> error;
  try {
    LoadSettings(settings, registry, kProgram, s.screenDpi);
  } catch (const Error& e) {
    error = e.what();
  } catch (...) {
    Fail(__FILE__, __LINE__, "LoadSettings raised something other than tw::Error");
  }
  CheckUsable(settings);

  // What the load must have done, worked out apart from the store: it stops
  // at the first value it cannot use, and a value it cannot read as an
  // integer leaves the default.
  std::optional<std::string> expectedError;
  std::array<std::optional<std::int32_t>, kOptions.size()> read{};
  if (s.makerFails) {
    expectedError = "Failed to create key " + std::string(kMakerKey);
  } else if (s.nameWriteFails) {
    expectedError = "Failed to set data for " + Quoted("@Name");
  } else if (!s.noOptionsKey) {
    for (std::size_t i = 0; i < kOptions.size() && !expectedError; ++i) {
      const StoredValue& v = s.values[i];
      if (!v.present) continue;
      if (v.unreadable)
        expectedError = "Failed to get data for " + Quoted(kOptions[i].name);
      else if (!IsTextType(v.type))
        expectedError = "Invalid data type for " + Quoted(kOptions[i].name);
      else
        read[i] = ReferenceInteger(texts[i]);
    }
  }
  TW_FUZZ_CHECK(error == expectedError);
  TSettings defaults;
  defaults.DPI = s.screenDpi >= 1 ? s.screenDpi : 96;
  for (std::size_t i = 0; i < kOptions.size(); ++i) {
    const Option& option = kOptions[i];
    if (!read[i])
      TW_FUZZ_CHECK(option.get(settings) == option.get(defaults));
    else if (*read[i] >= option.low && *read[i] <= option.high)
      TW_FUZZ_CHECK(option.get(settings) == *read[i]);
  }

  // "@Started" of any kind, even unreadable, marks an earlier start, and so
  // does an options key.
  const bool expectedFirst = s.makerFails || (!s.values[kStartedIndex].present && s.noOptionsKey);
  TW_FUZZ_CHECK(IsFirstStart(registry) == expectedFirst);

  // What the program writes back, it reads back the same, as plain decimal
  // text.
  if (!s.saveAgain) return error ? FuzzOutcome::Rejected : FuzzOutcome::Accepted;
  saved.Clear();
  SaveSettings(settings, saved, kProgram);
  for (const Option& option : kOptions) {
    const SlotRegistry::Value* value = saved.Find(SlotRegistry::kOptions, option.name);
    TW_FUZZ_CHECK(value != nullptr && value->type == kRegSz);
    TW_FUZZ_CHECK(ReferenceInteger(value->text) == option.get(settings));
  }
  return error ? FuzzOutcome::Rejected : FuzzOutcome::Accepted;
}

// --- seeds and generator ---

void PutRecord(FuzzWriter& w, std::size_t index, Kind kind, std::span<const std::uint8_t> data,
               RegistryType type = kRegNone) {
  w.Byte(static_cast<std::uint8_t>(index));
  w.Byte(static_cast<std::uint8_t>(kind));
  if (kind == Kind::OtherType) w.U32(type);
  w.U16(static_cast<std::uint16_t>(data.size()));
  w.Append(data);
}

// As SaveSettings writes a value: the text and its terminating zero.
Bytes WrittenText(std::string_view text) {
  Bytes data = AsciiUtf16Data(text);
  data.insert(data.end(), {0, 0});
  return data;
}

Bytes StoredForm(const std::array<std::string_view, kOptions.size()>& texts, bool started, std::uint8_t flags = 0) {
  FuzzWriter w;
  w.Byte(flags);
  for (std::size_t i = 0; i < texts.size(); ++i) PutRecord(w, i, Kind::Text, WrittenText(texts[i]));
  if (started) PutRecord(w, kStartedIndex, Kind::Text, WrittenText("1"));
  return w.out;
}

// The values as the program saves its defaults, and a user's changes.
const std::array<std::string_view, 24> kDefaultTexts{"0", "0",  "0",  "0",  "100", "100", "0",  "2",
                                                     "0", "0",  "0",  "0",  "0",   "2",   "10", "10",
                                                     "10", "10", "10", "10", "96",  "50",  "0",  "1"};
const std::array<std::string_view, 24> kEditedTexts{"1",     "0",   "1",  "1",     "250",  "250", "2",  "4",
                                                    "16461", "0",   "0",  "49220", "1",    "4",   "-1610", "300",
                                                    "1200",  "800", "10", "10",    "144",  "90",  "1",  "0"};

std::vector<Bytes> RegistrySeeds() {
  std::vector<Bytes> seeds;
  seeds.push_back(StoredForm(kDefaultTexts, true, 32));
  seeds.push_back(StoredForm(kEditedTexts, true, 32 | 1 << 3));
  seeds.push_back(StoredForm(kEditedTexts, false));  // saved by a version without the record
  seeds.push_back(Bytes{0});                          // a first start: nothing stored
  seeds.push_back(Bytes{4});                          // no options key either
  FuzzWriter dword{StoredForm(kDefaultTexts, true)};
  PutRecord(dword, 7, Kind::OtherType, Bytes{4, 0, 0, 0}, kRegDword);  // Scale as a REG_DWORD
  seeds.push_back(dword.out);
  return seeds;
}

constexpr std::array<std::string_view, 40> kEdgeTexts{
    "0",          "1",           "-1",          "2",          "10",        "50",         "51",
    "255",        "256",         "4096",        "4097",       "32767",     "32768",      "-32768",
    "-32769",     "65535",       "65536",       "2147483647", "2147483648", "-2147483648", "-2147483649",
    "4294967296", "+7",          "+-7",         "-+7",        "++7",       "-",          "+",
    "",           " 5",          "5 ",          "0x10",       "1e3",       "5.0",        "00000000000000000042",
    "-0",         "+0",          "99999999999999999999999", "12\t", "\xb2"};

// A text that an option may hold: its own or another's typical value, an
// edge of some range, or any 32- or 64-bit number. Numbers are written into
// `buffer`; nothing here allocates.
std::string_view StoredText(FuzzRng& rng, std::size_t index, std::array<char, 24>& buffer) {
  const auto number = [&](auto value) {
    const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value).ptr;
    return std::string_view(buffer.data(), static_cast<std::size_t>(end - buffer.data()));
  };
  switch (rng.Below(6)) {
    case 0: return kDefaultTexts[index % kDefaultTexts.size()];
    case 1: return kEditedTexts[rng.Below(kEditedTexts.size())];
    case 2: return number(static_cast<std::int32_t>(rng.Next()));
    case 3: return number(static_cast<std::int64_t>(rng.Next()) >> rng.Below(64));
    default: return kEdgeTexts[rng.Below(kEdgeTexts.size())];
  }
}

// One text record: the text as data, with now and then a unit of another
// script, a lone surrogate or a zero inside, a very long run of digits, and
// ended as programs end (or fail to end) it.
void PutStoredText(FuzzWriter& w, FuzzRng& rng, std::size_t index, Kind kind) {
  std::array<char, 24> buffer{};
  const std::string_view text = StoredText(rng, index, buffer);
  w.Byte(static_cast<std::uint8_t>(index));
  w.Byte(static_cast<std::uint8_t>(kind));
  const std::size_t lengthAt = w.out.size();
  w.U16(0);
  static constexpr std::array<char16_t, 8> kOdd{u'\u0661', u'\uFF11', u'\u00B2', 0xD800,
                                                0xDC00,   0,        u'\u2212', 0xFEFF};
  const std::size_t oddAt = rng.OneIn(12) ? rng.Below(static_cast<std::uint32_t>(text.size() + 1)) : SIZE_MAX;
  const char16_t odd = kOdd[rng.Below(kOdd.size())];
  const std::size_t digits = rng.OneIn(96) ? 1 + rng.Below(3000) : 0;
  const auto digit = static_cast<std::uint8_t>('0' + rng.Below(10));
  for (std::size_t i = 0; i < digits; ++i) w.U16(digit);
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i == oddAt) w.U16(odd);
    if (i < text.size()) w.U16(static_cast<std::uint8_t>(text[i]));
  }
  switch (rng.Below(10)) {
    case 0: break;  // unterminated
    case 1:
      for (std::uint32_t n = 1 + rng.Below(4); n > 0; --n) w.U16(0);
      break;
    case 2:  // more after the zero
      w.U16(0);
      w.U16('9');
      break;
    case 3: w.Byte(static_cast<std::uint8_t>(rng.Next())); break;  // an odd byte count
    default: w.U16(0); break;
  }
  const std::size_t length = w.out.size() - lengthAt - 2;
  if (rng.OneIn(10) && length > 0) w.out[lengthAt + 2 + rng.Below(static_cast<std::uint32_t>(length))] ^= 1u << rng.Below(8);
  w.out[lengthAt] = static_cast<std::uint8_t>(length);
  w.out[lengthAt + 1] = static_cast<std::uint8_t>(length >> 8);
}

void GenerateRegistrySettings(FuzzRng& rng, const std::vector<Bytes>& seeds, Bytes& input) {
  if (rng.OneIn(5)) {
    input = seeds[rng.Below(static_cast<std::uint32_t>(seeds.size()))];
    Mutate(rng, input, {}, 1 + static_cast<int>(rng.Below(6)));
    return;
  }
  FuzzWriter w;
  w.out.swap(input);  // its room, for this case's records
  w.out.clear();
  // Mostly keys that work, so that the load gets to every value; a quarter
  // of the records saved again.
  const auto situation = rng.OneIn(6) ? static_cast<std::uint8_t>(rng.Next() & 0x1F) : rng.Below(4) << 3;
  w.Byte(static_cast<std::uint8_t>(situation | (rng.OneIn(4) ? 32 : 0)));
  // At most one value that stops the load, in a third of the cases.
  const std::size_t bad = rng.OneIn(3) ? rng.Below(kValueCount) : kValueCount;
  for (std::size_t i = 0; i < kValueCount; ++i) {
    if (i != bad && rng.OneIn(3)) continue;  // missing
    if (i == bad || (i == kStartedIndex && rng.OneIn(3))) {
      if (rng.OneIn(3)) {
        PutStoredText(w, rng, i, Kind::Unreadable);
      } else {
        static constexpr std::array<RegistryType, 7> kTypes{kRegNone,  kRegBinary,           kRegDword, kRegMultiSz,
                                                            kRegQword, 5 /* big-endian DWORD */, 0xFFFFFFFF};
        std::array<std::uint8_t, 12> data{};
        for (auto& b : data) b = static_cast<std::uint8_t>(rng.Next());
        PutRecord(w, i, Kind::OtherType, std::span(data).first(rng.Below(data.size() + 1)),
                  rng.OneIn(8) ? static_cast<RegistryType>(rng.Next()) : kTypes[rng.Below(kTypes.size())]);
      }
      continue;
    }
    PutStoredText(w, rng, i, rng.OneIn(8) ? Kind::ExpandText : Kind::Text);
  }
  input.swap(w.out);
}

}  // namespace

int FuzzRegistrySettings(const std::uint8_t* data, std::size_t size) {
  RunRegistrySettings(data, size);
  return 0;
}

FuzzOutcome RegistrySettingsOutcome(const std::uint8_t* data, std::size_t size) {
  return RunRegistrySettings(data, size);
}

const FuzzTarget& RegistrySettingsTarget() {
  static const FuzzTarget target{"registry_settings", FuzzRegistrySettings, RegistrySeeds, GenerateRegistrySettings};
  return target;
}

}  // namespace tw::fuzz
