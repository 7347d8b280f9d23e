// What Tarnwick.exe leaves in the registry: the product values at every
// start, every option at the end of every run, the auto-start entry.
#include <cwctype>
#include <iterator>

#include "e2e/tarnwick_fixture_win32.h"

#include <sddl.h>

namespace e2e {
namespace {

constexpr wchar_t kProductKey[] = L"SOFTWARE\\Velmora\\Tarnwick";
constexpr wchar_t kOptionsKey[] = L"SOFTWARE\\Velmora\\Tarnwick\\Options";
constexpr wchar_t kRunKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

struct SavedOption {
  const wchar_t* name;
  const wchar_t* text;  // nullptr: any decimal integer
};
// Every option, as a run with the default settings saves it.
constexpr SavedOption kDefaults[] = {
    {L"MagnifierIcon", L"0"},  {L"ScreenshotIcon", L"0"},  {L"MeasurerIcon", L"0"},   {L"DropperIcon", L"0"},
    {L"ZoomWidth", L"100"},    {L"ZoomHeight", L"100"},    {L"Scale", L"2"},          {L"HighContrast", L"0"},
    {L"MagnifierKey", L"0"},   {L"ScreenshotKey", L"0"},   {L"MeasurerKey", L"0"},    {L"DropperKey", L"0"},
    {L"MagnifierCursor", L"0"}, {L"InfoScale", L"2"},      {L"ScreenshotPosX", nullptr}, {L"ScreenshotPosY", nullptr},
    {L"MeasurerPosX", L"10"},  {L"MeasurerPosY", L"10"},   {L"DropperPosX", L"10"},   {L"DropperPosY", L"10"},
    {L"DPI", L"96"},           {L"JPEGQuality", L"50"},    {L"JPEGProgressive", L"0"}, {L"AutoStart", L"1"},
};

bool IsDecimal(const std::wstring& text) {
  size_t i = !text.empty() && text[0] == L'-' ? 1 : 0;
  if (i == text.size()) return false;
  for (; i < text.size(); ++i)
    if (!std::iswdigit(text[i])) return false;
  return true;
}

std::wstring Lower(std::wstring s) {
  for (auto& c : s) c = static_cast<wchar_t>(std::towlower(c));
  return s;
}

std::string Shown(const std::optional<RegistryValue>& value) {
  if (!value) return "missing";
  return "type " + std::to_string(value->type) + " \"" + Narrow(value->text) + "\"";
}

using Settings = TarnwickTest;

TEST_F(Settings, EveryStartWritesTheProductValues) {
  const auto name = ReadRegistryValue(kProductKey, L"@Name");
  const auto path = ReadRegistryValue(kProductKey, L"@Path");
  const auto version = ReadRegistryValue(kProductKey, L"@Version");
  EXPECT_TRUE(name && name->type == REG_SZ && name->text == L"Tarnwick") << "@Name: " << Shown(name);
  EXPECT_TRUE(version && version->type == REG_SZ && version->text == L"1.3") << "@Version: " << Shown(version);
  ASSERT_TRUE(path && path->type == REG_SZ) << "@Path: " << Shown(path);
  EXPECT_EQ(Lower(path->text), Lower(TarnwickExePath())) << "@Path: " << Shown(path);
  // Settings are saved at the end of a run, not at the start.
  const auto saved = RegistryValueNames(kOptionsKey);
  EXPECT_TRUE(saved.empty()) << "options saved at the start, the first: " << Narrow(saved.front());
}

TEST_F(Settings, TheEndOfARunSavesEveryOptionAsText) {
  WindowInfo host;
  ASSERT_NO_FATAL_FAILURE(StartScreenshotRun(&host));
  PressKey(VK_ESCAPE);
  ASSERT_NO_FATAL_FAILURE(WaitForHostHidden());
  ASSERT_TRUE(WaitUntil([] { return ReadRegistryValue(kOptionsKey, L"AutoStart").has_value(); }, 3s))
      << "no options saved after the run ended";
  for (const auto& option : kDefaults) {
    const auto value = ReadRegistryValue(kOptionsKey, option.name);
    const bool asExpected = value && value->type == REG_SZ &&
                            (option.text ? value->text == option.text : IsDecimal(value->text));
    EXPECT_TRUE(asExpected) << Narrow(option.name) << ": " << Shown(value) << ", expected REG_SZ "
                            << (option.text ? "\"" + Narrow(option.text) + "\"" : std::string("decimal text"));
  }
  EXPECT_EQ(RegistryValueNames(kOptionsKey).size(), std::size(kDefaults));

  // AutoStart is on by default: the Run entry names this program file.
  const auto run = ReadRegistryValue(kRunKey, L"Tarnwick");
  ASSERT_TRUE(run && run->type == REG_SZ) << "Run\\Tarnwick: " << Shown(run);
  std::wstring command = run->text;
  if (command.size() >= 2 && command.front() == L'"' && command.back() == L'"')
    command = command.substr(1, command.size() - 2);
  EXPECT_EQ(Lower(command), Lower(TarnwickExePath())) << "Run\\Tarnwick: " << Shown(run);
}

// The options key readable but not writable: Wine holds a key to its access
// list, so every save at a run's end fails.
class ReadOnlyOptions : public TarnwickTest {
 protected:
  void SetUp() override {
    // Recorded first: the record goes under the key about to be closed.
    std::string error;
    ASSERT_TRUE(RecordEarlierStart(&error)) << error;
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kOptionsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    // A protected list granting everyone reading only.
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;;KR;;;WD)", SDDL_REVISION_1,
                                                                     &descriptor, nullptr));
    const LONG set = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor);
    LocalFree(descriptor);
    RegCloseKey(key);
    ASSERT_EQ(set, ERROR_SUCCESS);
    ASSERT_NO_FATAL_FAILURE(Launch(false, L""));
  }

  // Ends a Screenshot run and answers the save's message.
  void RunAndExpectTheSaveMessage() {
    WindowInfo host;
    ASSERT_NO_FATAL_FAILURE(StartScreenshotRun(&host));
    PressKey(VK_ESCAPE);
    const auto box = WaitForMessageBox(Pid(), kReactionLimit);
    ASSERT_TRUE(box.has_value()) << "no message about the failed save; " << Seen();
    const std::wstring text = MessageBoxText(box->hwnd);
    EXPECT_TRUE(text.rfind(L"Failed to ", 0) == 0) << Narrow(text);
    PostMessageW(box->hwnd, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box->hwnd); }, kReactionLimit)) << Seen();
    ASSERT_NO_FATAL_FAILURE(WaitForHostHidden());
  }
};

TEST_F(ReadOnlyOptions, AFailedSaveSaysSoAndTheNextRunWorks) {
  ASSERT_NO_FATAL_FAILURE(RunAndExpectTheSaveMessage());
  EXPECT_TRUE(RegistryValueNames(kOptionsKey).empty());
  ASSERT_NO_FATAL_FAILURE(RunAndExpectTheSaveMessage());
  EXPECT_TRUE(tarnwick_.Running()) << Seen();
}

}  // namespace
}  // namespace e2e
