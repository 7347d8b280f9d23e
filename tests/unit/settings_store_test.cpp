#include "app/settings_store.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "core/error.h"
#include "fakes/fake_registry.h"
#include "fakes/option_names.h"

namespace tw {
namespace {

using ::testing::Contains;
using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

const std::string kMaker = "SOFTWARE\\Velmora";
const std::string kProduct = "SOFTWARE\\Velmora\\Tarnwick";
const std::string kOptions = "SOFTWARE\\Velmora\\Tarnwick\\Options";
const std::string kRun = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::string kProgram = "C:\\Tools\\Tarnwick.exe";
constexpr int kScreenDpi = 120;

const std::vector<std::string>& kSaveOrder = fakes::kOptionNamesInSaveOrder;

std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const Error& error) {
    return error.what();
  }
  return "(no error)";
}

TSettings DefaultsWithDpi(int dpi) {
  TSettings settings;
  settings.DPI = dpi;
  return settings;
}

class SettingsStoreTest : public ::testing::Test {
 protected:
  void Load() { LoadSettings(settings, registry, kProgram, kScreenDpi); }
  void Save() { SaveSettings(settings, registry, kProgram); }
  std::string LoadError() {
    return ErrorOf([&] { Load(); });
  }
  std::string SaveError() {
    return ErrorOf([&] { Save(); });
  }
  std::ptrdiff_t CallIndex(const std::string& call) const {
    const auto& calls = registry.Calls();
    return std::find(calls.begin(), calls.end(), call) - calls.begin();
  }

  fakes::FakeRegistry registry;
  TSettings settings;
};

TEST_F(SettingsStoreTest, FirstLoadCreatesTheProductKeyAndKeepsEveryDefault) {
  Load();

  EXPECT_EQ(registry.Calls().front(), "create " + kMaker);
  EXPECT_THAT(registry.CallsOf("write"),
              ElementsAre(kProduct + "\\@Name=Tarnwick", kProduct + "\\@Path=" + kProgram,
                          kProduct + "\\@Version=1.3"));
  EXPECT_THAT(registry.ValueNames(kProduct), ElementsAre("@Name", "@Path", "@Version"));
  EXPECT_FALSE(registry.HasKey(kOptions));
  EXPECT_EQ(settings, DefaultsWithDpi(kScreenDpi));
}

TEST_F(SettingsStoreTest, FirstSaveWritesAllValuesAsTextAndTheAutoStartEntry) {
  Save();

  std::vector<std::string> expected;
  const std::vector<std::string> texts = {"0",  "0",  "0",  "0",  "100", "100", "2",  "0",
                                          "0",  "0",  "0",  "0",  "0",   "2",   "10", "10",
                                          "10", "10", "10", "10", "96",  "50",  "0",  "1"};
  for (std::size_t i = 0; i < kSaveOrder.size(); ++i)
    expected.push_back(kOptions + "\\" + kSaveOrder[i] + "=" + texts[i]);
  expected.push_back(kRun + "\\Tarnwick=" + kProgram);
  EXPECT_THAT(registry.CallsOf("write"), ElementsAreArray(expected));

  EXPECT_THAT(registry.ValueNames(kOptions), ElementsAreArray(kSaveOrder));
  for (const std::string& name : kSaveOrder)
    EXPECT_EQ(registry.GetValue(kOptions, name)->type, kRegSz);
  // The maker key is given back before the Run key is touched.
  EXPECT_LT(CallIndex("close " + kMaker), CallIndex("create " + kRun));
}

TEST_F(SettingsStoreTest, SavedSettingsLoadBackUnchanged) {
  settings.IconFlags = 0x0A;
  settings.ZoomWidth = 250;
  settings.ZoomHeight = 120;
  settings.Scale = 7;
  settings.HighContrast = ContrastLevel{200};
  settings.MagnifierKey = 0xC04D;
  settings.ScreenshotKey = 0x2074;
  settings.MeasurerKey = 0xFFFF;
  settings.DropperKey = 0x402D;
  settings.MagnifierCursor = LensCursor::Cross;
  settings.InfoScale = 5;
  settings.ScreenshotPos = {-5, 300};
  settings.MeasurerPos = {kMinWindowCoordinate, kMaxWindowCoordinate};
  settings.DropperPos = {0, -1};
  settings.DPI = 144;
  settings.JPEGQuality = 90;
  settings.JPEGProgressive = true;
  settings.AutoStart = false;
  Save();

  EXPECT_EQ(registry.GetValue(kOptions, "MagnifierKey")->text, "49229");
  EXPECT_EQ(registry.GetValue(kOptions, "MeasurerKey")->text, "65535");
  EXPECT_EQ(registry.GetValue(kOptions, "HighContrast")->text, "200");
  EXPECT_EQ(registry.GetValue(kOptions, "ScreenshotPosX")->text, "-5");
  EXPECT_EQ(registry.GetValue(kOptions, "ScreenshotIcon")->text, "1");
  EXPECT_EQ(registry.GetValue(kOptions, "MagnifierIcon")->text, "0");

  TSettings loaded;
  LoadSettings(loaded, registry, kProgram, kScreenDpi);
  EXPECT_EQ(loaded, settings);
}

struct StoredValueCase {
  std::string name;
  RegistryType type;
  std::string text;
  std::function<std::int64_t(const TSettings&)> field;
  std::int64_t expected;
};

TEST_F(SettingsStoreTest, StoredTextIsDecodedAsTheSettingsWidthAllows) {
  const auto zoomWidth = [](const TSettings& s) { return s.ZoomWidth; };
  const auto posX = [](const TSettings& s) { return s.ScreenshotPos.x; };
  const auto highContrast = [](const TSettings& s) { return static_cast<int>(s.HighContrast); };
  const auto magnifierKey = [](const TSettings& s) { return s.MagnifierKey; };
  const auto magnifierIcon = [](const TSettings& s) { return s.IconFlags & 1; };
  const auto dropperIcon = [](const TSettings& s) { return (s.IconFlags >> 3) & 1; };
  const auto autoStart = [](const TSettings& s) { return s.AutoStart; };
  const auto scale = [](const TSettings& s) { return s.Scale; };
  const StoredValueCase cases[] = {
      {"ZoomWidth", kRegSz, "abc", zoomWidth, 100},
      {"ZoomWidth", kRegSz, "", zoomWidth, 100},
      {"ZoomWidth", kRegSz, "1", zoomWidth, 1},
      {"ZoomWidth", kRegSz, "12x", zoomWidth, 100},
      {"ZoomWidth", kRegSz, " 40", zoomWidth, 100},
      {"ZoomWidth", kRegSz, "+40", zoomWidth, 40},
      {"ZoomWidth", kRegSz, "+-40", zoomWidth, 100},
      {"ZoomWidth", kRegSz, "1e3", zoomWidth, 100},
      {"ScreenshotPosX", kRegSz, "-32768", posX, -32768},
      {"ScreenshotPosX", kRegSz, "+00032767", posX, 32767},
      {"ScreenshotPosX", kRegSz, "2147483648", posX, 10},
      {"ScreenshotPosX", kRegSz, "-", posX, 10},
      {"HighContrast", kRegSz, "258", highContrast, 2},
      {"HighContrast", kRegSz, "-1", highContrast, 255},
      {"MagnifierKey", kRegSz, "65601", magnifierKey, 0x41},
      {"MagnifierKey", kRegSz, "-1", magnifierKey, 0xFFFF},
      {"MagnifierIcon", kRegSz, "5", magnifierIcon, 1},
      {"MagnifierIcon", kRegSz, "-3", magnifierIcon, 1},
      {"DropperIcon", kRegSz, "yes", dropperIcon, 0},
      {"AutoStart", kRegSz, "0", autoStart, 0},
      {"AutoStart", kRegSz, "true", autoStart, 1},
      {"Scale", kRegExpandSz, "7", scale, 7},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name + " = \"" + c.text + "\"");
    fakes::FakeRegistry fresh;
    fresh.SetValue(kOptions, c.name, c.type, c.text);
    TSettings loaded;
    LoadSettings(loaded, fresh, kProgram, kScreenDpi);
    EXPECT_EQ(c.field(loaded), c.expected);
  }
}

TEST_F(SettingsStoreTest, ABooleanStoredAsAnyNonZeroNumberIsWrittenBackAsOne) {
  registry.SetString(kOptions, "MagnifierIcon", "5");
  Load();
  EXPECT_EQ(settings.IconFlags, 0x01);
  Save();
  EXPECT_EQ(registry.GetValue(kOptions, "MagnifierIcon")->text, "1");
}

// Every option stored with a value other than its default.
void StoreNonDefaults(fakes::FakeRegistry& registry) {
  const std::pair<const char*, const char*> values[] = {
      {"MagnifierIcon", "1"},   {"ScreenshotIcon", "1"},  {"MeasurerIcon", "1"},
      {"DropperIcon", "1"},     {"ZoomWidth", "300"},     {"ZoomHeight", "200"},
      {"HighContrast", "1"},    {"Scale", "4"},           {"MagnifierKey", "49229"},
      {"ScreenshotKey", "1"},   {"MeasurerKey", "2"},     {"DropperKey", "3"},
      {"MagnifierCursor", "1"}, {"InfoScale", "10"},      {"ScreenshotPosX", "11"},
      {"ScreenshotPosY", "12"}, {"MeasurerPosX", "13"},   {"MeasurerPosY", "14"},
      {"DropperPosX", "15"},    {"DropperPosY", "16"},    {"DPI", "72"},
      {"JPEGQuality", "80"},    {"JPEGProgressive", "1"}, {"AutoStart", "0"}};
  for (const auto& [name, text] : values) registry.SetString(kOptions, name, text);
}

TEST_F(SettingsStoreTest, AValueOfAnotherTypeStopsTheLoadThere) {
  StoreNonDefaults(registry);
  registry.SetValue(kOptions, "DPI", kRegDword, "");

  EXPECT_EQ(LoadError(), "Invalid data type for 'DPI'");

  TSettings expected;
  expected.IconFlags = 0x0F;
  expected.ZoomWidth = 300;
  expected.ZoomHeight = 200;
  expected.HighContrast = ContrastLevel::Medium;
  expected.Scale = 4;
  expected.MagnifierKey = 0xC04D;
  expected.ScreenshotKey = 1;
  expected.MeasurerKey = 2;
  expected.DropperKey = 3;
  expected.MagnifierCursor = LensCursor::Arrow;
  expected.InfoScale = 10;
  expected.ScreenshotPos = {11, 12};
  expected.MeasurerPos = {13, 14};
  expected.DropperPos = {15, 16};
  expected.DPI = kScreenDpi;  // the default, as are the three after it
  EXPECT_EQ(settings, expected);
  EXPECT_EQ(registry.CallsOf("read").back(), kOptions + "\\DPI");
}

TEST_F(SettingsStoreTest, AValueThatCannotBeFetchedStopsTheLoad) {
  StoreNonDefaults(registry);
  registry.FailRead(kOptions, "Scale");

  EXPECT_EQ(LoadError(), "Failed to get data for 'Scale'");
  EXPECT_EQ(settings.HighContrast, ContrastLevel::Medium);  // read before Scale
  EXPECT_EQ(settings.Scale, 2);
  EXPECT_EQ(settings.MagnifierKey, 0);
}

TEST_F(SettingsStoreTest, AProductKeyThatCannotBeWrittenStopsTheLoadBeforeAnySetting) {
  struct Case {
    std::function<void(fakes::FakeRegistry&)> fail;
    std::string message;
  };
  const Case cases[] = {
      {[](fakes::FakeRegistry& r) { r.FailKey(kMaker); }, "Failed to create key SOFTWARE\\Velmora"},
      {[](fakes::FakeRegistry& r) { r.FailKey(kProduct); }, "Failed to create key Tarnwick"},
      {[](fakes::FakeRegistry& r) { r.FailWrite(kProduct, "@Name"); },
       "Failed to set data for '@Name'"},
      {[](fakes::FakeRegistry& r) { r.FailWrite(kProduct, "@Version"); },
       "Failed to set data for '@Version'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    fakes::FakeRegistry fresh;
    StoreNonDefaults(fresh);
    c.fail(fresh);
    TSettings loaded;
    EXPECT_EQ(ErrorOf([&] { LoadSettings(loaded, fresh, kProgram, kScreenDpi); }), c.message);
    EXPECT_THAT(fresh.CallsOf("read"), IsEmpty());
    EXPECT_EQ(loaded, DefaultsWithDpi(kScreenDpi));
  }
}

TEST_F(SettingsStoreTest, AValueThatCannotBeWrittenStopsTheSaveThere) {
  registry.FailWrite(kOptions, "MagnifierCursor");

  EXPECT_EQ(SaveError(), "Failed to set data for 'MagnifierCursor'");
  const std::vector<std::string> before(kSaveOrder.begin(), kSaveOrder.begin() + 12);
  EXPECT_THAT(registry.ValueNames(kOptions), ElementsAreArray(before));
  EXPECT_FALSE(registry.HasKey(kRun));
  for (const std::string& call : registry.Calls())
    EXPECT_EQ(call.find("CurrentVersion"), std::string::npos);
}

TEST_F(SettingsStoreTest, KeysThatCannotBeCreatedStopTheSave) {
  struct Case {
    std::string failingKey;
    std::string message;
    std::size_t optionsWritten;
  };
  const Case cases[] = {
      {kMaker, "Failed to create key SOFTWARE\\Velmora", 0},
      {kOptions, "Failed to create key Tarnwick\\Options", 0},
      {kRun, "Failed to create key SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", 24},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.failingKey);
    fakes::FakeRegistry fresh;
    fresh.FailKey(c.failingKey);
    EXPECT_EQ(ErrorOf([&] { SaveSettings(settings, fresh, kProgram); }), c.message);
    EXPECT_EQ(fresh.ValueNames(kOptions).size(), c.optionsWritten);
    EXPECT_FALSE(fresh.GetValue(kRun, "Tarnwick"));
  }
}

TEST_F(SettingsStoreTest, AnAutoStartEntryThatCannotBeWrittenIsReported) {
  registry.FailWrite(kRun, "Tarnwick");
  EXPECT_EQ(SaveError(), "Failed to set data for 'Tarnwick'");
  EXPECT_EQ(registry.ValueNames(kOptions).size(), 24u);
}

TEST_F(SettingsStoreTest, TheAutoStartEntryFollowsAutoStartAtEverySave) {
  registry.SetString(kRun, "Other", "C:\\other.exe");

  Save();
  EXPECT_EQ(registry.GetValue(kRun, "Tarnwick")->text, kProgram);

  registry.RemoveValue(kRun, "Tarnwick");  // the user deleted it
  Save();
  EXPECT_EQ(registry.GetValue(kRun, "Tarnwick")->text, kProgram);

  settings.AutoStart = false;
  Save();
  EXPECT_FALSE(registry.GetValue(kRun, "Tarnwick"));
  EXPECT_THAT(registry.ValueNames(kRun), ElementsAre("Other"));
}

TEST_F(SettingsStoreTest, AutoStartOffWithoutAnEntryChangesNothing) {
  settings.AutoStart = false;

  EXPECT_EQ(SaveError(), "(no error)");
  EXPECT_FALSE(registry.HasKey(kRun));

  registry.AddKey(kRun);
  registry.ClearCalls();
  EXPECT_EQ(SaveError(), "(no error)");
  EXPECT_THAT(registry.ValueNames(kRun), IsEmpty());
  EXPECT_THAT(registry.CallsOf("create"), Not(Contains(kRun)));
  EXPECT_THAT(registry.CallsOf("write"), Each(Not(HasSubstr("CurrentVersion"))));
}

TEST_F(SettingsStoreTest, TheAutoStartCommandIsQuotedOnlyWhenThePathHasASpace) {
  const std::pair<std::string, std::string> cases[] = {
      {"C:\\Tools\\Tarnwick.exe", "C:\\Tools\\Tarnwick.exe"},
      {"C:\\Program Files\\Velmora\\Tarnwick.exe", "\"C:\\Program Files\\Velmora\\Tarnwick.exe\""},
      {"D:\\a b\\c d.exe", "\"D:\\a b\\c d.exe\""},
  };
  for (const auto& [path, command] : cases) {
    SCOPED_TRACE(path);
    EXPECT_EQ(AutoStartCommand(path), command);
    fakes::FakeRegistry fresh;
    TSettings loaded;
    LoadSettings(loaded, fresh, path, kScreenDpi);
    SaveSettings(loaded, fresh, path);
    EXPECT_EQ(fresh.GetValue(kRun, "Tarnwick")->text, command);
    EXPECT_EQ(fresh.GetValue(kProduct, "@Path")->text, path);  // a path, not a command line
  }
}

struct GuardCase {
  std::string name;
  std::string text;
  std::function<std::int32_t(const TSettings&)> field;
  std::int32_t expected;
};

TEST_F(SettingsStoreTest, UnsafeStoredValuesFallBackAndHarmlessOnesLoadUnchanged) {
  const auto zoomWidth = [](const TSettings& s) { return s.ZoomWidth; };
  const auto zoomHeight = [](const TSettings& s) { return s.ZoomHeight; };
  const auto scale = [](const TSettings& s) { return s.Scale; };
  const auto infoScale = [](const TSettings& s) { return s.InfoScale; };
  const auto dpi = [](const TSettings& s) { return s.DPI; };
  const auto screenshotX = [](const TSettings& s) { return s.ScreenshotPos.x; };
  const auto measurerY = [](const TSettings& s) { return s.MeasurerPos.y; };
  const auto dropperX = [](const TSettings& s) { return s.DropperPos.x; };
  const auto dropperY = [](const TSettings& s) { return s.DropperPos.y; };
  const GuardCase cases[] = {
      {"Scale", "0", scale, 2},
      {"Scale", "-3", scale, 2},
      {"Scale", "20", scale, 20},
      {"Scale", "2147483647", scale, kMaxScale},
      {"InfoScale", "0", infoScale, 2},
      {"InfoScale", "-5", infoScale, 2},
      {"InfoScale", "4", infoScale, 4},
      {"InfoScale", "50", infoScale, 50},
      {"InfoScale", "1000", infoScale, kMaxInfoScale},
      {"DPI", "0", dpi, kScreenDpi},
      {"DPI", "-96", dpi, kScreenDpi},
      {"DPI", "10", dpi, 10},
      {"DPI", "100000", dpi, 100000},
      {"ZoomWidth", "0", zoomWidth, 100},
      {"ZoomWidth", "-50", zoomWidth, 100},
      {"ZoomWidth", "1", zoomWidth, 1},
      {"ZoomWidth", "2000", zoomWidth, 2000},
      {"ZoomWidth", "4097", zoomWidth, kMaxLensSize},
      {"ZoomWidth", "2147483647", zoomWidth, kMaxLensSize},
      {"ZoomHeight", "0", zoomHeight, 100},
      {"ZoomHeight", "-2147483648", zoomHeight, 100},
      {"ZoomHeight", "7", zoomHeight, 7},
      {"ZoomHeight", "999999", zoomHeight, kMaxLensSize},
      {"ScreenshotPosX", "-2147483648", screenshotX, kMinWindowCoordinate},
      {"ScreenshotPosX", "-32769", screenshotX, kMinWindowCoordinate},
      {"ScreenshotPosX", "-32768", screenshotX, -32768},
      {"ScreenshotPosX", "-1500", screenshotX, -1500},
      {"MeasurerPosY", "32767", measurerY, 32767},
      {"MeasurerPosY", "32768", measurerY, kMaxWindowCoordinate},
      {"DropperPosX", "2147483647", dropperX, kMaxWindowCoordinate},
      {"DropperPosY", "-2147483647", dropperY, kMinWindowCoordinate},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name + " = " + c.text);
    fakes::FakeRegistry fresh;
    fresh.SetString(kOptions, c.name, c.text);
    TSettings loaded;
    LoadSettings(loaded, fresh, kProgram, kScreenDpi);
    EXPECT_EQ(c.field(loaded), c.expected);
  }
}

TEST_F(SettingsStoreTest, ADpiOfZeroFallsBackToStandardWhenTheScreenGaveNone) {
  registry.SetString(kOptions, "DPI", "0");
  LoadSettings(settings, registry, kProgram, 0);
  EXPECT_EQ(settings.DPI, 96);
}

TEST_F(SettingsStoreTest, UnsafeValuesReadBeforeAFailingOneAreStillMadeSafe) {
  registry.SetString(kOptions, "ZoomWidth", "-10");
  registry.SetString(kOptions, "Scale", "0");
  registry.SetValue(kOptions, "InfoScale", kRegBinary, "");

  EXPECT_EQ(LoadError(), "Invalid data type for 'InfoScale'");
  EXPECT_EQ(settings.ZoomWidth, 100);
  EXPECT_EQ(settings.Scale, 2);
}

TEST(SanitizeSettingsTest, KeepsASaneRecordAsItIs) {
  TSettings settings;
  settings.ZoomWidth = 509;  // the largest a Shift-click can make
  settings.ZoomHeight = 1;
  settings.Scale = 1;
  settings.InfoScale = 10;
  settings.DPI = 25;
  settings.ScreenshotPos = {-1920, 1200};  // on a monitor left of the primary one
  settings.MeasurerPos = {kMinWindowCoordinate, kMaxWindowCoordinate};
  const TSettings before = settings;
  SanitizeSettings(settings, 96);
  EXPECT_EQ(settings, before);
}

TEST(SanitizeSettingsTest, ClearsIconBitsBeyondTheFourTools) {
  TSettings settings;
  settings.IconFlags = 0xF5;
  SanitizeSettings(settings, 96);
  EXPECT_EQ(settings.IconFlags, 0x05);
}

TEST_F(SettingsStoreTest, TheFirstStartIsRecordedInTheProductKey) {
  EXPECT_TRUE(IsFirstStart(registry));
  Load();
  EXPECT_TRUE(IsFirstStart(registry));  // loading alone is no record

  RecordStart(registry);
  EXPECT_EQ(registry.GetValue(kProduct, "@Started")->text, "1");
  EXPECT_FALSE(IsFirstStart(registry));

  // Later starts rewrite the info values but keep the record.
  Load();
  Save();
  EXPECT_FALSE(IsFirstStart(registry));
}

TEST_F(SettingsStoreTest, SettingsSavedBeforeTheRecordExistedMeanAnEarlierStart) {
  registry.SetString(kProduct, "@Name", "Tarnwick");
  registry.SetString(kOptions, "ZoomWidth", "100");
  EXPECT_FALSE(IsFirstStart(registry));
}

TEST_F(SettingsStoreTest, AStartThatCannotBeRecordedIsReported) {
  registry.FailWrite(kProduct, "@Started");
  EXPECT_EQ(ErrorOf([&] { RecordStart(registry); }), "Failed to set data for '@Started'");
  EXPECT_TRUE(IsFirstStart(registry));
}

}  // namespace
}  // namespace tw
