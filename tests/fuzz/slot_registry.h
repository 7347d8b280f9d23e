// A registry of the four keys the settings store uses (maker, product,
// options, Run), each a fixed slot with its values in a short list: what
// fakes::FakeRegistry does for the store, without its records, case folding
// and maps, so that a fuzz case costs little. A path the store was not
// expected to use fails the case.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry_port.h"

namespace tw::fuzz {

class SlotRegistry final : public IRegistryPort {
 public:
  enum Slot { kMaker, kProduct, kOptions, kRun, kSlotCount };
  struct Value {
    std::string name;
    RegistryType type = kRegSz;
    std::string text;
    bool unreadable = false;
  };

  std::unique_ptr<IRegistryKey> CreateKey(const std::string& path) override { return Key(TopSlot(path), true); }
  std::unique_ptr<IRegistryKey> OpenKey(const std::string& path) override { return Key(TopSlot(path), false); }

  // Empty again, keeping the room it had, for the next case.
  void Clear();
  void AddKey(Slot slot);
  // The text of a text type as the port reads it; nothing for other types.
  void SetValue(Slot slot, std::string_view name, RegistryType type, std::string_view text, bool unreadable = false);
  [[nodiscard]] const Value* Find(Slot slot, std::string_view name) const;
  [[nodiscard]] bool Exists(Slot slot) const { return exists_[slot]; }

  // Creating or opening the maker key fails, as does everything below it.
  bool makerFails = false;
  // Writing the product key's value of this name fails.
  std::string failingProductWrite;

 private:
  class SlotKey;
  static Slot TopSlot(const std::string& path);
  std::unique_ptr<IRegistryKey> Key(Slot slot, bool create);
  Value* FindValue(Slot slot, std::string_view name);

  std::array<bool, kSlotCount> exists_{};
  // The first counts_[slot] entries are the slot's values; those after them
  // are kept for their room.
  std::array<std::vector<Value>, kSlotCount> values_;
  std::array<std::size_t, kSlotCount> counts_{};
};

}  // namespace tw::fuzz
