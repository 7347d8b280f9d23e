// The system's hot-key table as RegisterHotKey keeps it: a combination
// belongs to at most one registration, and a second one for the same
// combination is refused. Calls are recorded in order as
// "register <id> <modifiers> <key>" and "unregister <id>".
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/hotkeys.h"
#include "fakes/call_log.h"

namespace tw::fakes {

class FakeHotKeys : public IHotKeyPort {
 public:
  bool RegisterHotKey(int id, unsigned modifiers, unsigned key) override {
    Record("register " + std::to_string(id) + " " + std::to_string(modifiers) + " " + std::to_string(key));
    const std::pair combination{modifiers, key};
    if (refused.contains(combination)) return false;
    for (const auto& [otherId, taken] : registered)
      if (taken == combination) return false;
    registered[id] = combination;
    return true;
  }
  void UnregisterHotKey(int id) override {
    Record("unregister " + std::to_string(id));
    registered.erase(id);
  }

  // The id a key press with these modifiers would be delivered with.
  [[nodiscard]] std::optional<int> Press(unsigned modifiers, unsigned key) const {
    for (const auto& [id, taken] : registered)
      if (taken == std::pair{modifiers, key}) return id;
    return std::nullopt;
  }

  std::map<int, std::pair<unsigned, unsigned>> registered;  // id -> (modifiers, key)
  std::set<std::pair<unsigned, unsigned>> refused;          // held by another program
  std::vector<std::string> calls;
  CallLog* shared = nullptr;  // also recorded there, as "hotkey <call>"

 private:
  void Record(const std::string& call) {
    calls.push_back(call);
    if (shared != nullptr) shared->Add("hotkey " + call);
  }
};

}  // namespace tw::fakes
