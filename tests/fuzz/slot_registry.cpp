#include "fuzz/slot_registry.h"

#include <utility>

#include "app/settings_store.h"
#include "fuzz/fuzz_check.h"

namespace tw::fuzz {

class SlotRegistry::SlotKey final : public IRegistryKey {
 public:
  SlotKey(SlotRegistry& registry, Slot slot) : registry_(registry), slot_(slot) {}

  std::unique_ptr<IRegistryKey> CreateSubKey(const std::string& path) override {
    return registry_.Key(SubSlot(path), true);
  }
  std::unique_ptr<IRegistryKey> OpenSubKey(const std::string& path) override {
    return registry_.Key(SubSlot(path), false);
  }
  RegistryValue ReadValue(const std::string& name) override {
    RegistryValue result;
    const Value* value = registry_.FindValue(slot_, name);
    if (value == nullptr) return result;
    result.type = value->type;
    result.status = value->unreadable ? RegistryRead::Unreadable : RegistryRead::Found;
    if (!value->unreadable) result.text = value->text;
    return result;
  }
  bool WriteString(const std::string& name, const std::string& text) override {
    if (slot_ == kProduct && name == registry_.failingProductWrite) return false;
    registry_.SetValue(slot_, name, kRegSz, text);
    return true;
  }
  bool DeleteValue(const std::string& name) override {
    Value* value = registry_.FindValue(slot_, name);
    if (value == nullptr) return false;
    std::size_t& count = registry_.counts_[slot_];
    std::swap(*value, registry_.values_[slot_][--count]);
    return true;
  }

 private:
  Slot SubSlot(const std::string& path) const {
    TW_FUZZ_CHECK(slot_ == kMaker && (path == kProductKey || path == kOptionsKey));
    return path == kProductKey ? kProduct : kOptions;
  }

  SlotRegistry& registry_;
  Slot slot_;
};

SlotRegistry::Slot SlotRegistry::TopSlot(const std::string& path) {
  TW_FUZZ_CHECK(path == kMakerKey || path == kRunKey);
  return path == kMakerKey ? kMaker : kRun;
}

std::unique_ptr<IRegistryKey> SlotRegistry::Key(Slot slot, bool create) {
  if (makerFails && slot != kRun) return nullptr;
  if (create)
    AddKey(slot);
  else if (!exists_[slot])
    return nullptr;
  return std::make_unique<SlotKey>(*this, slot);
}

void SlotRegistry::Clear() {
  exists_ = {};
  counts_ = {};
  makerFails = false;
  failingProductWrite.clear();
}

void SlotRegistry::AddKey(Slot slot) {
  exists_[slot] = true;
  // A key brings the keys above it into being.
  if (slot == kProduct || slot == kOptions) exists_[kMaker] = true;
  if (slot == kOptions) exists_[kProduct] = true;
}

void SlotRegistry::SetValue(Slot slot, std::string_view name, RegistryType type, std::string_view text,
                            bool unreadable) {
  AddKey(slot);
  Value* value = FindValue(slot, name);
  if (value == nullptr) {
    if (counts_[slot] == values_[slot].size()) values_[slot].emplace_back();
    value = &values_[slot][counts_[slot]++];
    value->name = name;
  }
  value->type = type;
  if (IsTextType(type))
    value->text = text;
  else
    value->text.clear();
  value->unreadable = unreadable;
}

SlotRegistry::Value* SlotRegistry::FindValue(Slot slot, std::string_view name) {
  for (std::size_t i = 0; i < counts_[slot]; ++i)
    if (values_[slot][i].name == name) return &values_[slot][i];
  return nullptr;
}

const SlotRegistry::Value* SlotRegistry::Find(Slot slot, std::string_view name) const {
  for (std::size_t i = 0; i < counts_[slot]; ++i)
    if (values_[slot][i].name == name) return &values_[slot][i];
  return nullptr;
}

}  // namespace tw::fuzz
