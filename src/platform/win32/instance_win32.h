// One copy of the program per user session: the first start claims the
// session, a later one hands its command line to the running copy and leaves.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/win32/handles.h"

namespace tw::win32 {

// Marks WM_COPYDATA's data as a command line handed over ("TWK1").
inline constexpr ULONG_PTR kHandOverTag = 0x54574B31;

// A named mutex local to the session, held for the program's lifetime.
class InstanceClaim {
 public:
  InstanceClaim();
  // False when another copy in this session holds the claim.
  [[nodiscard]] bool First() const { return first_; }

 private:
  UniqueKernelHandle mutex_;
  bool first_ = true;
};

// Hands `commandLine` to the running copy's application window, waiting a
// few seconds for that window (the copy may be starting too). False when no
// copy took it.
bool HandOverToRunningCopy(const std::wstring& commandLine);

// The arguments a WM_COPYDATA from HandOverToRunningCopy carries. It comes
// from another process: nullopt for another sender's data, a size no command
// line has, or a broken UTF-16 length; text is decoded as untrusted UTF-16.
std::optional<std::vector<std::string>> HandedOverArguments(const COPYDATASTRUCT& data);

}  // namespace tw::win32
