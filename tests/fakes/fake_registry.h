// An in-memory registry below HKEY_CURRENT_USER. Key paths and value names
// match without regard to case, as in the real registry. Every call through
// the port is recorded in order, as text:
//   "create <path>", "open <path>", "close <path>",
//   "read <path>\<name>", "write <path>\<name>=<text>", "delete <path>\<name>"
// with <path> the full key path as the caller spelled it. Keys and values can
// be told to fail.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry_port.h"
#include "fakes/call_log.h"

namespace tw::fakes {

// What the Win32 port makes of string data: the UTF-16 text before the first
// zero (RegistryTextLength) in UTF-8, a surrogate without its pair as U+FFFD,
// as WideCharToMultiByte writes it.
std::string RegistryDataText(std::span<const std::uint8_t> data);
// The same into `text`, whose room it reuses.
void RegistryDataText(std::span<const std::uint8_t> data, std::string& text);

class FakeRegistry : public IRegistryPort {
 public:
  struct Value {
    RegistryType type = kRegSz;
    std::string text;
  };

  std::unique_ptr<IRegistryKey> CreateKey(const std::string& path) override;
  std::unique_ptr<IRegistryKey> OpenKey(const std::string& path) override;

  // Setting up and inspecting the contents (not recorded).
  void AddKey(std::string_view path);
  void SetValue(std::string_view path, std::string_view name, RegistryType type,
                std::string_view text);
  void SetString(std::string_view path, std::string_view name, std::string_view text) {
    SetValue(path, name, kRegSz, text);
  }
  // A value as any program may have written it: any type, any bytes. A text
  // type reads as the Win32 port reads it (RegistryDataText).
  void SetData(std::string_view path, std::string_view name, RegistryType type,
               std::span<const std::uint8_t> data) {
    SetValue(path, name, type, IsTextType(type) ? RegistryDataText(data) : std::string());
  }
  void RemoveValue(std::string_view path, std::string_view name);
  [[nodiscard]] bool HasKey(std::string_view path) const;
  [[nodiscard]] std::optional<Value> GetValue(std::string_view path, std::string_view name) const;
  // The value names of a key in the order they were first written.
  [[nodiscard]] std::vector<std::string> ValueNames(std::string_view path) const;

  // Creating or opening the key fails (as does creating anything below it).
  void FailKey(std::string_view path) { failingKeys_.insert(Fold(path)); }
  // The value is found but its data cannot be fetched.
  void FailRead(std::string_view path, std::string_view name) {
    failingReads_.insert(Fold(path) + '\\' + Fold(name));
  }
  void FailWrite(std::string_view path, std::string_view name) {
    failingWrites_.insert(Fold(path) + '\\' + Fold(name));
  }

  // Back to an empty registry that fails nothing and has recorded nothing.
  void Reset();

  [[nodiscard]] const std::vector<std::string>& Calls() const { return calls_; }
  // The recorded calls of one kind ("write", "create" ...), without the verb.
  [[nodiscard]] std::vector<std::string> CallsOf(std::string_view verb) const;
  void ClearCalls() { calls_.clear(); }
  CallLog* shared = nullptr;  // also recorded there, as "registry <call>"

 private:
  class Key;
  struct Node {
    std::vector<std::string> order;       // value names as first written
    std::map<std::string, Value> values;  // by folded name
  };

  static std::string Fold(std::string_view text);
  static std::string Join(std::string_view parent, std::string_view child);
  bool KeyFails(std::string_view path) const;
  Node& Ensure(std::string_view path);
  std::unique_ptr<IRegistryKey> Create(const std::string& path);
  std::unique_ptr<IRegistryKey> Open(const std::string& path);
  RegistryValue Read(const std::string& path, const std::string& name);
  bool Write(const std::string& path, const std::string& name, const std::string& text);
  bool Delete(const std::string& path, const std::string& name);
  void Record(std::string call) {
    if (shared != nullptr) shared->Add("registry " + call);
    calls_.push_back(std::move(call));
  }

  std::map<std::string, Node> keys_;  // by folded full path
  std::set<std::string> failingKeys_, failingReads_, failingWrites_;
  std::vector<std::string> calls_;
};

}  // namespace tw::fakes
