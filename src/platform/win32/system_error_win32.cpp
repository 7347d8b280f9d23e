#include "platform/win32/system_error.h"

#include <iterator>

#include "core/error.h"
#include "platform/win32/utf.h"

namespace tw::win32 {

namespace {

std::string WithCode(std::string_view what, DWORD code) {
  return std::string(what) + " (error " + std::to_string(code) + ")";
}

}  // namespace

void ThrowLastError(std::string_view what) { throw Error(WithCode(what, GetLastError())); }

void ThrowLastError(std::string_view what, const wchar_t* subject) {
  // Read first: the conversion below is a Win32 call of its own.
  const DWORD code = GetLastError();
  const std::string name = subject != nullptr ? Narrow(subject) : std::string();
  throw Error(WithCode(std::string(what) + " \"" + name + "\"", code));
}

std::string SystemErrorText(DWORD code) {
  wchar_t text[1024] = {};
  const DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                      text, static_cast<DWORD>(std::size(text)), nullptr);
  return Narrow(std::wstring_view(text, length));
}

}  // namespace tw::win32
