// The registry port and the settings store against the real registry. All
// keys live below a private root that is deleted afterwards, so the user's
// own settings and Run key are never touched.
#include "platform/win32/registry_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/settings_store.h"
#include "core/error.h"
#include "fakes/fake_registry.h"
#include "fakes/option_names.h"
#include "platform/win32/utf.h"

namespace tw::win32 {
namespace {

class RegistryWin32Test : public ::testing::Test {
 protected:
  RegistryWin32Test()
      : root_("Software\\TarnwickTests\\Registry-" + std::to_string(GetCurrentProcessId()) + "-" +
              std::to_string(GetTickCount64())),
        port_(root_) {}
  ~RegistryWin32Test() override {
    RegDeleteTreeW(HKEY_CURRENT_USER, Widen(root_).c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\TarnwickTests");  // only if now empty
  }

  struct RawValue {
    LSTATUS status = ERROR_FILE_NOT_FOUND;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
  };
  // What is stored, read without the port.
  RawValue Raw(const std::string& path, const std::string& name) const {
    RawValue raw;
    HKEY key = nullptr;
    raw.status =
        RegOpenKeyExW(HKEY_CURRENT_USER, Widen(root_ + "\\" + path).c_str(), 0, KEY_READ, &key);
    if (raw.status != ERROR_SUCCESS) return raw;
    DWORD bytes = 0;
    raw.status = RegQueryValueExW(key, Widen(name).c_str(), nullptr, &raw.type, nullptr, &bytes);
    if (raw.status == ERROR_SUCCESS) {
      raw.data.resize(bytes);
      raw.status =
          RegQueryValueExW(key, Widen(name).c_str(), nullptr, &raw.type, raw.data.data(), &bytes);
    }
    RegCloseKey(key);
    return raw;
  }
  static std::string TextOf(const RawValue& raw) {
    std::wstring text(reinterpret_cast<const wchar_t*>(raw.data.data()), raw.data.size() / 2);
    if (!text.empty() && text.back() == L'\0') text.pop_back();
    return Narrow(text);
  }
  void SetRaw(const std::string& path, const std::string& name, DWORD type, const void* data,
              DWORD bytes) const {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, Widen(root_ + "\\" + path).c_str(), 0, nullptr, 0,
                              KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(
        RegSetValueExW(key, Widen(name).c_str(), 0, type, static_cast<const BYTE*>(data), bytes),
        ERROR_SUCCESS);
    RegCloseKey(key);
  }

  const std::string root_;
  Win32RegistryPort port_;
};

const std::string kOptions = "SOFTWARE\\Velmora\\Tarnwick\\Options";
const std::string kRun = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

TEST_F(RegistryWin32Test, AllSettingsMakeTheRoundTripAsZeroTerminatedText) {
  TSettings saved;
  saved.IconFlags = 0x05;
  saved.ZoomWidth = 320;
  saved.ZoomHeight = 240;
  saved.Scale = 3;
  saved.HighContrast = ContrastLevel::High;
  saved.MagnifierKey = 0xC04D;
  saved.ScreenshotKey = 0x2074;
  saved.MeasurerKey = 0x402D;
  saved.DropperKey = 0xFFFF;
  saved.MagnifierCursor = LensCursor::Arrow;
  saved.InfoScale = 10;
  saved.ScreenshotPos = {-5, 7};
  saved.MeasurerPos = {1900, 1000};
  saved.DropperPos = {0, kMinWindowCoordinate};  // the widest a position loads
  saved.DPI = 144;
  saved.JPEGQuality = 85;
  saved.JPEGProgressive = true;
  saved.AutoStart = true;
  SaveSettings(saved, port_, "C:\\Tools\\Tarnwick.exe");

  for (const std::string& name : fakes::kOptionNamesInSaveOrder) {
    SCOPED_TRACE(name);
    const RawValue raw = Raw(kOptions, name);
    ASSERT_EQ(raw.status, ERROR_SUCCESS);
    EXPECT_EQ(raw.type, static_cast<DWORD>(REG_SZ));
    const std::string text = TextOf(raw);
    EXPECT_EQ(raw.data.size(), (text.size() + 1) * sizeof(wchar_t));  // the zero is counted
  }
  EXPECT_EQ(TextOf(Raw(kOptions, "MagnifierKey")), "49229");
  EXPECT_EQ(TextOf(Raw(kOptions, "DropperPosY")), "-32768");
  EXPECT_EQ(TextOf(Raw(kOptions, "JPEGProgressive")), "1");

  TSettings loaded;
  LoadSettings(loaded, port_, "C:\\Tools\\Tarnwick.exe", 96);
  EXPECT_EQ(loaded, saved);
  EXPECT_EQ(TextOf(Raw("SOFTWARE\\Velmora\\Tarnwick", "@Path")), "C:\\Tools\\Tarnwick.exe");
  EXPECT_EQ(TextOf(Raw("SOFTWARE\\Velmora\\Tarnwick", "@Version")), "1.3");
}

TEST_F(RegistryWin32Test, TheRunEntryIsCreatedRewrittenAndRemoved) {
  TSettings settings;
  SaveSettings(settings, port_, "C:\\Tools\\Tarnwick.exe");
  RawValue raw = Raw(kRun, "Tarnwick");
  ASSERT_EQ(raw.status, ERROR_SUCCESS);
  EXPECT_EQ(raw.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(TextOf(raw), "C:\\Tools\\Tarnwick.exe");

  SaveSettings(settings, port_, "C:\\Program Files\\Velmora\\Tarnwick.exe");
  EXPECT_EQ(TextOf(Raw(kRun, "Tarnwick")), "\"C:\\Program Files\\Velmora\\Tarnwick.exe\"");

  settings.AutoStart = false;
  SaveSettings(settings, port_, "C:\\Tools\\Tarnwick.exe");
  EXPECT_EQ(Raw(kRun, "Tarnwick").status, ERROR_FILE_NOT_FOUND);
  EXPECT_NE(port_.OpenKey(kRun), nullptr);  // the key itself stays

  SaveSettings(settings, port_, "C:\\Tools\\Tarnwick.exe");  // nothing to remove: no error
}

TEST_F(RegistryWin32Test, AValueOfAnotherTypeIsReadBackAsSuch) {
  const DWORD dpi = 96;
  SetRaw(kOptions, "DPI", REG_DWORD, &dpi, sizeof dpi);
  const wchar_t expand[] = L"%TEMP%";
  SetRaw(kOptions, "Expand", REG_EXPAND_SZ, expand, sizeof expand);

  const auto options = port_.OpenKey(kOptions);
  ASSERT_NE(options, nullptr);
  const RegistryValue dword = options->ReadValue("DPI");
  EXPECT_EQ(dword.status, RegistryRead::Found);
  EXPECT_EQ(dword.type, kRegDword);
  const RegistryValue text = options->ReadValue("Expand");
  EXPECT_EQ(text.type, kRegExpandSz);
  EXPECT_EQ(text.text, "%TEMP%");  // as stored, not expanded
  EXPECT_EQ(options->ReadValue("Absent").status, RegistryRead::Missing);

  TSettings settings;
  try {
    LoadSettings(settings, port_, "C:\\Tools\\Tarnwick.exe", 96);
    ADD_FAILURE() << "no error";
  } catch (const Error& error) {
    EXPECT_STREQ(error.what(), "Invalid data type for 'DPI'");
  }
}

TEST_F(RegistryWin32Test, TextIsReadUpToItsFirstZeroWhateverItsLength) {
  const wchar_t unterminated[] = {L'4', L'2'};
  SetRaw(kOptions, "Bare", REG_SZ, unterminated, sizeof unterminated);
  const wchar_t padded[] = L"17\0\0\0";
  SetRaw(kOptions, "Padded", REG_SZ, padded, sizeof padded);
  SetRaw(kOptions, "Empty", REG_SZ, nullptr, 0);
  const char odd[] = {'7', 0, '8'};
  SetRaw(kOptions, "Odd", REG_SZ, odd, sizeof odd);

  const auto options = port_.OpenKey(kOptions);
  ASSERT_NE(options, nullptr);
  EXPECT_EQ(options->ReadValue("Bare").text, "42");
  EXPECT_EQ(options->ReadValue("Padded").text, "17");
  EXPECT_EQ(options->ReadValue("Empty").status, RegistryRead::Found);
  EXPECT_EQ(options->ReadValue("Empty").text, "");
  EXPECT_EQ(options->ReadValue("Odd").text, "7");
}

// The fuzz targets read raw data through the fake: it must read as the port
// does, whatever the bytes.
TEST_F(RegistryWin32Test, TheFakeReadsAnyDataAsThePortDoes) {
  const std::vector<std::vector<BYTE>> cases{
      {},
      {'7'},
      {'4', 0, '2', 0},
      {'1', 0, 0, 0, '2', 0, 0, 0},
      {'-', 0, '5', 0, '9'},
      {0x61, 0x06, 0x11, 0xFF, 0, 0},        // Arabic-Indic one, full-width one
      {0x3D, 0xD8, 0x00, 0xDE, '1', 0},      // a pair: U+1F600
      {0x00, 0xD8, '1', 0},                  // a high surrogate alone
      {'1', 0, 0x00, 0xDC, 0, 0, 'x', 0},    // a low surrogate alone
      {'9', 0, 0x3D, 0xD8},                  // a high surrogate at the end
      {0xFF, 0xFE, '3', 0},                  // U+FEFF first
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const std::string name = "Raw" + std::to_string(i);
    SetRaw(kOptions, name, REG_SZ, cases[i].data(), static_cast<DWORD>(cases[i].size()));
    const auto options = port_.OpenKey(kOptions);
    ASSERT_NE(options, nullptr);
    EXPECT_EQ(options->ReadValue(name).text, fakes::RegistryDataText(cases[i])) << name;
  }
}

TEST_F(RegistryWin32Test, TextIsUtf8InsideAndUtf16InTheRegistry) {
  const std::string path =
      "C:\\Ben\xC3\xBCtzer\\\xE6\x97\xA5\xE6\x9C\xAC\\Tarnwick.exe";  // Benützer, 日本
  {
    const auto key = port_.CreateKey("Paths");
    ASSERT_NE(key, nullptr);
    ASSERT_TRUE(key->WriteString("Caf\xC3\xA9", path));
  }
  const RawValue raw = Raw("Paths", "Caf\xC3\xA9");
  ASSERT_EQ(raw.status, ERROR_SUCCESS);
  EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(raw.data.data())),
            L"C:\\Ben\u00FCtzer\\\u65E5\u672C\\Tarnwick.exe");
  EXPECT_EQ(port_.OpenKey("Paths")->ReadValue("Caf\xC3\xA9").text, path);
}

TEST_F(RegistryWin32Test, KeysOpenOnlyWhenTheyExistAndValuesDeleteOnce) {
  EXPECT_EQ(port_.OpenKey("A\\B"), nullptr);
  const auto a = port_.CreateKey("A");
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->OpenSubKey("B\\C"), nullptr);
  const auto c = a->CreateSubKey("B\\C");
  ASSERT_NE(c, nullptr);
  EXPECT_NE(port_.OpenKey("A\\B"), nullptr);

  ASSERT_TRUE(c->WriteString("V", "x"));
  EXPECT_TRUE(c->DeleteValue("V"));
  EXPECT_FALSE(c->DeleteValue("V"));
  EXPECT_EQ(c->ReadValue("V").status, RegistryRead::Missing);
}

TEST(RegistryWin32RootTest, WithoutARootKeysAreBelowTheCurrentUser) {
  const std::string path =
      "Software\\TarnwickTests\\Plain-" + std::to_string(GetCurrentProcessId());
  Win32RegistryPort port;
  {
    const auto key = port.CreateKey(path);
    ASSERT_NE(key, nullptr);
    ASSERT_TRUE(key->WriteString("Probe", "1"));
  }
  HKEY raw = nullptr;
  EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, Widen(path).c_str(), 0, KEY_READ, &raw),
            ERROR_SUCCESS);
  if (raw != nullptr) RegCloseKey(raw);
  RegDeleteTreeW(HKEY_CURRENT_USER, Widen(path).c_str());
  RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\TarnwickTests");
}

}  // namespace
}  // namespace tw::win32
