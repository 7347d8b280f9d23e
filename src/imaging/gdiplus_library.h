// Which GDI+ library file the program loads. The choice is made here from
// facts the caller gathers (files, the word processor's command, a file
// version), so that every branch can be checked without Windows.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tw {

// The program file of a registered command line such as
// "\"C:\Office\WINWORD.EXE\" /n": the text between the opening quote and the
// next one. nullopt unless the value starts with a quote and has a closing
// one after a non-empty name. Reads nothing outside `command`, whatever it
// holds (it comes from the registry, and anyone may have written it).
std::optional<std::string> QuotedProgramPath(std::string_view command);

// "C:\..." or "\\server\...": a path that names its drive or share.
bool IsAbsolutePath(std::string_view path);

// major.minor of a file version as one number: major in the high 16 bits.
constexpr std::uint32_t FileVersionNumber(std::uint16_t major, std::uint16_t minor) {
  return (static_cast<std::uint32_t>(major) << 16) | minor;
}
// A word processor of this version or later ships a GDI+ the program can use.
constexpr std::uint32_t kWordProcessorMinVersion = FileVersionNumber(11, 0);

struct GdiplusLibraryFacts {
  std::function<bool(const std::string& path)> fileExists;
  // The default value of HKCR "Applications\Winword.exe\shell\edit\command";
  // nullopt when there is none.
  std::function<std::optional<std::string>()> wordProcessorCommand;
  // FileVersionNumber of a file; nullopt when it cannot be read.
  std::function<std::optional<std::uint32_t>(const std::string& path)> fileVersion;
};

// The file to load, first match wins: "gdiplus11.dll", then "gdiplus.dll" in
// `programFolder` (which ends in a separator); the word processor's own
// "gdiplus.dll" when that program's path is absolute and it is version 11.0
// or later (a version that cannot be read counts as late enough); otherwise plain "gdiplus.dll" for
// the system's search.
std::string ChooseGdiplusLibrary(const std::string& programFolder, const GdiplusLibraryFacts& facts);

}  // namespace tw
