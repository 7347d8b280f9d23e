#include "fakes/fake_registry.h"

#include <cctype>

#include "platform/registry_data.h"

namespace tw::fakes {

namespace {

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

std::string RegistryDataText(std::span<const std::uint8_t> data) {
  std::string text;
  RegistryDataText(data, text);
  return text;
}

void RegistryDataText(std::span<const std::uint8_t> data, std::string& text) {
  const std::size_t units = RegistryTextLength(data);
  const auto unit = [&](std::size_t i) { return static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8)); };
  text.clear();
  for (std::size_t i = 0; i < units; ++i) {
    const char16_t u = unit(i);
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units && unit(i + 1) >= 0xDC00 && unit(i + 1) <= 0xDFFF) {
      AppendUtf8(text, 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (unit(i + 1) - 0xDC00));
      ++i;
    } else if (u >= 0xD800 && u <= 0xDFFF) {
      AppendUtf8(text, 0xFFFD);
    } else {
      AppendUtf8(text, u);
    }
  }
}

class FakeRegistry::Key : public IRegistryKey {
 public:
  Key(FakeRegistry& registry, std::string path) : registry_(registry), path_(std::move(path)) {}
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  ~Key() override { registry_.Record("close " + path_); }

  std::unique_ptr<IRegistryKey> CreateSubKey(const std::string& path) override {
    return registry_.Create(Join(path_, path));
  }
  std::unique_ptr<IRegistryKey> OpenSubKey(const std::string& path) override {
    return registry_.Open(Join(path_, path));
  }
  RegistryValue ReadValue(const std::string& name) override { return registry_.Read(path_, name); }
  bool WriteString(const std::string& name, const std::string& text) override {
    return registry_.Write(path_, name, text);
  }
  bool DeleteValue(const std::string& name) override { return registry_.Delete(path_, name); }

 private:
  FakeRegistry& registry_;
  std::string path_;
};

std::string FakeRegistry::Fold(std::string_view text) {
  std::string folded(text);
  for (char& c : folded) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return folded;
}

std::string FakeRegistry::Join(std::string_view parent, std::string_view child) {
  if (parent.empty()) return std::string(child);
  if (child.empty()) return std::string(parent);
  return std::string(parent) + '\\' + std::string(child);
}

bool FakeRegistry::KeyFails(std::string_view path) const {
  const std::string folded = Fold(path);
  for (const std::string& failing : failingKeys_)
    if (folded == failing || folded.starts_with(failing + '\\')) return true;
  return false;
}

FakeRegistry::Node& FakeRegistry::Ensure(std::string_view path) {
  // As in the registry, a key brings every key above it into being.
  const std::string folded = Fold(path);
  for (std::size_t slash = folded.find('\\'); slash != std::string::npos;
       slash = folded.find('\\', slash + 1))
    keys_[folded.substr(0, slash)];
  return keys_[folded];
}

std::unique_ptr<IRegistryKey> FakeRegistry::CreateKey(const std::string& path) {
  return Create(path);
}

std::unique_ptr<IRegistryKey> FakeRegistry::OpenKey(const std::string& path) { return Open(path); }

std::unique_ptr<IRegistryKey> FakeRegistry::Create(const std::string& path) {
  Record("create " + path);
  if (KeyFails(path)) return nullptr;
  Ensure(path);
  return std::make_unique<Key>(*this, path);
}

std::unique_ptr<IRegistryKey> FakeRegistry::Open(const std::string& path) {
  Record("open " + path);
  if (KeyFails(path) || !HasKey(path)) return nullptr;
  return std::make_unique<Key>(*this, path);
}

RegistryValue FakeRegistry::Read(const std::string& path, const std::string& name) {
  Record("read " + Join(path, name));
  RegistryValue result;
  const auto value = GetValue(path, name);
  if (!value) return result;
  result.type = value->type;
  if (failingReads_.contains(Fold(path) + '\\' + Fold(name))) {
    result.status = RegistryRead::Unreadable;
    return result;
  }
  result.status = RegistryRead::Found;
  if (IsTextType(value->type)) result.text = value->text;
  return result;
}

bool FakeRegistry::Write(const std::string& path, const std::string& name,
                         const std::string& text) {
  Record("write " + Join(path, name) + "=" + text);
  if (failingWrites_.contains(Fold(path) + '\\' + Fold(name))) return false;
  SetValue(path, name, kRegSz, text);
  return true;
}

bool FakeRegistry::Delete(const std::string& path, const std::string& name) {
  Record("delete " + Join(path, name));
  if (!GetValue(path, name)) return false;
  RemoveValue(path, name);
  return true;
}

void FakeRegistry::AddKey(std::string_view path) { Ensure(path); }

void FakeRegistry::Reset() {
  keys_.clear();
  failingKeys_.clear();
  failingReads_.clear();
  failingWrites_.clear();
  calls_.clear();
}

void FakeRegistry::SetValue(std::string_view path, std::string_view name, RegistryType type,
                            std::string_view text) {
  Node& node = Ensure(path);
  const std::string folded = Fold(name);
  if (!node.values.contains(folded)) node.order.emplace_back(name);
  node.values[folded] = Value{type, std::string(text)};
}

void FakeRegistry::RemoveValue(std::string_view path, std::string_view name) {
  const auto key = keys_.find(Fold(path));
  if (key == keys_.end()) return;
  Node& node = key->second;
  const std::string folded = Fold(name);
  node.values.erase(folded);
  std::erase_if(node.order, [&](const std::string& n) { return Fold(n) == folded; });
}

bool FakeRegistry::HasKey(std::string_view path) const { return keys_.contains(Fold(path)); }

std::optional<FakeRegistry::Value> FakeRegistry::GetValue(std::string_view path,
                                                          std::string_view name) const {
  const auto key = keys_.find(Fold(path));
  if (key == keys_.end()) return std::nullopt;
  const auto value = key->second.values.find(Fold(name));
  if (value == key->second.values.end()) return std::nullopt;
  return value->second;
}

std::vector<std::string> FakeRegistry::ValueNames(std::string_view path) const {
  const auto key = keys_.find(Fold(path));
  return key == keys_.end() ? std::vector<std::string>{} : key->second.order;
}

std::vector<std::string> FakeRegistry::CallsOf(std::string_view verb) const {
  const std::string prefix = std::string(verb) + ' ';
  std::vector<std::string> result;
  for (const std::string& call : calls_)
    if (call.starts_with(prefix)) result.push_back(call.substr(prefix.size()));
  return result;
}

}  // namespace tw::fakes
