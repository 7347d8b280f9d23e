// A failed Win32 call, as the program reports it.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace tw::win32 {

// Throws tw::Error "<what> (error <code>)", with GetLastError's code.
[[noreturn]] void ThrowLastError(std::string_view what);
// Throws tw::Error "<what> \"<subject>\" (error <code>)", for a call about a
// named thing (a window class).
[[noreturn]] void ThrowLastError(std::string_view what, const wchar_t* subject);

// For the call just made: `ok` is what it answered, read as success. No
// other Win32 call may come between the two: it could set the last error
// anew, and the message would give another call's code.
inline void CheckLastError(bool ok, std::string_view what) {
  if (!ok) ThrowLastError(what);
}
inline void CheckLastError(bool ok, std::string_view what, const wchar_t* subject) {
  if (!ok) ThrowLastError(what, subject);
}

// The system's text for an error code as FormatMessageW gives it (a line
// that ends in CR LF), empty when it has none.
std::string SystemErrorText(DWORD code);

}  // namespace tw::win32
