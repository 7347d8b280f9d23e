// Moving the settings record between memory and the current user's registry,
// the auto-start entry, and the record of the first start.
//
// Registry layout (all below HKEY_CURRENT_USER):
//   SOFTWARE\Velmora                        maker key
//     Tarnwick                              "@Name", "@Path", "@Version", "@Started"
//       Options                             one REG_SZ per setting
//   SOFTWARE\Microsoft\Windows\CurrentVersion\Run   "Tarnwick" = command line
//
// Every failure is raised as tw::Error with the message the user sees.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/limits.h"
#include "model/settings.h"
#include "platform/registry_port.h"

namespace tw {

inline constexpr std::string_view kMakerKey = "SOFTWARE\\Velmora";
inline constexpr std::string_view kProductKey = "Tarnwick";
inline constexpr std::string_view kOptionsKey = "Tarnwick\\Options";
inline constexpr std::string_view kRunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr std::string_view kAutoStartValue = "Tarnwick";
inline constexpr std::string_view kStartedValue = "@Started";

// Fills `settings` from the registry; a setting without a usable stored
// value keeps its current value, except DPI, whose default is `screenDpi`.
// Writes "@Name", "@Path" (= programPath) and "@Version" first. On an error
// the settings read so far keep their stored values, and the record is still
// made safe before the error leaves.
void LoadSettings(TSettings& settings, IRegistryPort& registry, const std::string& programPath,
                  int screenDpi);

// Writes every setting to the options key, then creates, rewrites or removes
// the auto-start entry to follow AutoStart. A failed write stops there: later
// values and the auto-start entry are left as they were.
void SaveSettings(const TSettings& settings, IRegistryPort& registry,
                  const std::string& programPath);

// Replaces what other parts of the program cannot cope with: a Scale or
// InfoScale below 1 (both are divisors), a DPI below 1 (the Measurer divides
// by it), a lens size below 1 (the capture bitmap would be smaller than the
// screen) or above kMaxLensSize (a gigantic capture bitmap, sums that
// overflow), an info window position outside kMinWindowCoordinate ..
// kMaxWindowCoordinate (moved to the nearest end: the window's arithmetic
// would overflow). Values outside the offered ranges that harm nothing (a
// lens 1 pixel wide, Scale 20, DPI 10, a window off the screen) are kept.
// LoadSettings applies it; the Magnifier's clicks and the Preferences dialog
// keep a sane record sane.
void SanitizeSettings(TSettings& settings, int screenDpi);

// The command line that the Run key gets: the path in double quotes when it
// contains a space (otherwise Windows tries "C:\Program.exe" first), as it is
// otherwise.
std::string AutoStartCommand(const std::string& programPath);

// First start for the current user: the product key holds no "@Started"
// value. Settings saved by a version that did not know the marker (an options
// key exists) count as an earlier start too. Call after LoadSettings, which
// creates the product key but does not touch "@Started".
bool IsFirstStart(IRegistryPort& registry);
// Writes "@Started" = "1" into the product key. Raises on failure.
void RecordStart(IRegistryPort& registry);

// Registry text to integer: an optional sign and decimal digits that fit in
// 32 bits; anything else (empty text included) is not an integer.
std::optional<std::int32_t> ParseRegistryInteger(std::string_view text);

}  // namespace tw
