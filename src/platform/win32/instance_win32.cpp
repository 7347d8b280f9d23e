#include "platform/win32/instance_win32.h"

#include <cstring>

#include "platform/win32/application_win32.h"

namespace tw::win32 {

namespace {

// "Local\" keeps the claim to this session; another user's session runs
// its own copy.
constexpr wchar_t kClaimName[] = L"Local\\Velmora.Tarnwick.Instance";
// The longest command line Windows passes, terminator included.
constexpr std::size_t kMaxCommandLine = 32768;
constexpr DWORD kAnswerLimitMs = 5000;

}  // namespace

InstanceClaim::InstanceClaim() : mutex_(CreateMutexW(nullptr, FALSE, kClaimName)) {
  // Without a mutex (another user's of the same name, say) nothing tells
  // of another copy: this one runs.
  first_ = !mutex_ || GetLastError() != ERROR_ALREADY_EXISTS;
}

bool HandOverToRunningCopy(const std::wstring& commandLine) {
  // The running copy makes its window just after its claim.
  HWND window = nullptr;
  for (int wait = 0; wait < 100; ++wait) {
    window = FindWindowW(kApplicationWindowClass, kApplicationWindowTitle);
    if (window != nullptr) break;
    Sleep(50);
  }
  if (window == nullptr) return false;
  // The user started this copy, so it may bring windows to the front; the
  // welcome the running copy shows needs that right.
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  AllowSetForegroundWindow(pid);
  std::wstring line = commandLine.substr(0, kMaxCommandLine - 1);
  COPYDATASTRUCT data{kHandOverTag, static_cast<DWORD>(line.size() * sizeof(wchar_t)), line.data()};
  DWORD_PTR answer = FALSE;
  return SendMessageTimeoutW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG,
                             kAnswerLimitMs, &answer) != 0 &&
         answer == TRUE;
}

std::optional<std::vector<std::string>> HandedOverArguments(const COPYDATASTRUCT& data) {
  if (data.dwData != kHandOverTag || data.cbData % sizeof(wchar_t) != 0 ||
      data.cbData / sizeof(wchar_t) >= kMaxCommandLine || (data.cbData > 0 && data.lpData == nullptr))
    return std::nullopt;
  // Copied, so that an unaligned buffer reads safely and the text ends in a
  // terminator (an embedded one ends it earlier); a surrogate without its
  // pair becomes U+FFFD in UTF-8.
  std::wstring line(data.cbData / sizeof(wchar_t), L'\0');
  if (!line.empty()) std::memcpy(line.data(), data.lpData, data.cbData);
  return CommandLineArguments(line.c_str());
}

}  // namespace tw::win32
