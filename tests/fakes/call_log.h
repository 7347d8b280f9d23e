// One ordered record of the calls that reach the fakes, shared by all of
// them, so that a test can check a sequence that crosses ports ("hot keys
// unregistered, then the run ended"). The screen, host window, menu,
// application and info-window fakes write plain entries ("show host"); the
// tray, registry and hot-key fakes prefix theirs with "tray ", "registry "
// and "hotkey ".
#pragma once

#include <algorithm>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace tw::fakes {

struct CallLog {
  std::vector<std::string> calls;

  void Add(std::string call) { calls.push_back(std::move(call)); }
  [[nodiscard]] int Count(const std::string& call) const {
    return static_cast<int>(std::count(calls.begin(), calls.end(), call));
  }
  [[nodiscard]] bool Contains(const std::string& call) const { return Count(call) > 0; }
  // Where `call` first appears, or -1.
  [[nodiscard]] int IndexOf(const std::string& call) const {
    const auto it = std::find(calls.begin(), calls.end(), call);
    return it == calls.end() ? -1 : static_cast<int>(it - calls.begin());
  }
  // The entries without those of the named ports, for a sequence of one part.
  [[nodiscard]] std::vector<std::string> Except(std::initializer_list<std::string_view> prefixes) const {
    std::vector<std::string> out;
    for (const auto& call : calls)
      if (std::none_of(prefixes.begin(), prefixes.end(), [&](std::string_view p) { return call.starts_with(p); }))
        out.push_back(call);
    return out;
  }
};

}  // namespace tw::fakes
