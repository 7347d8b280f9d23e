// The registry as the settings store sees it: keys below HKEY_CURRENT_USER,
// opened as objects that close themselves, and values as UTF-8 text. Paths
// and names use backslashes, as the registry does; a path may name a key
// several levels down ("Tarnwick\Options").
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace tw {

// Registry value types, numbered as Windows numbers them (REG_SZ ...).
using RegistryType = std::uint32_t;
constexpr RegistryType kRegNone = 0;
constexpr RegistryType kRegSz = 1;
constexpr RegistryType kRegExpandSz = 2;
constexpr RegistryType kRegBinary = 3;
constexpr RegistryType kRegDword = 4;
constexpr RegistryType kRegMultiSz = 7;
constexpr RegistryType kRegQword = 11;

inline bool IsTextType(RegistryType type) { return type == kRegSz || type == kRegExpandSz; }

enum class RegistryRead {
  Missing,     // no value of that name
  Found,       // type is set; text is set for the two text types only
  Unreadable,  // the value exists but its data could not be fetched
};

struct RegistryValue {
  RegistryRead status = RegistryRead::Missing;
  RegistryType type = kRegNone;
  std::string text;
};

class IRegistryKey {
 public:
  virtual ~IRegistryKey() = default;
  // Sub-keys of this key; nullptr when the key cannot be created or opened
  // (OpenSubKey also when it does not exist).
  virtual std::unique_ptr<IRegistryKey> CreateSubKey(const std::string& path) = 0;
  virtual std::unique_ptr<IRegistryKey> OpenSubKey(const std::string& path) = 0;
  virtual RegistryValue ReadValue(const std::string& name) = 0;
  // A REG_SZ whose data length counts the terminating zero.
  virtual bool WriteString(const std::string& name, const std::string& text) = 0;
  virtual bool DeleteValue(const std::string& name) = 0;
};

class IRegistryPort {
 public:
  virtual ~IRegistryPort() = default;
  // Keys below HKEY_CURRENT_USER, with full access; nullptr on failure.
  virtual std::unique_ptr<IRegistryKey> CreateKey(const std::string& path) = 0;
  virtual std::unique_ptr<IRegistryKey> OpenKey(const std::string& path) = 0;
};

}  // namespace tw
