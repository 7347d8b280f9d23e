// The registry port on the W registry functions. Keys are opened for reading
// and writing, not with KEY_ALL_ACCESS: the store never changes security or
// deletes keys, and asking for less keeps it working where policies deny that.
#pragma once

#include <string>

#include "platform/registry_port.h"

namespace tw::win32 {

class Win32RegistryPort : public IRegistryPort {
 public:
  // Keys below HKEY_CURRENT_USER itself.
  Win32RegistryPort() = default;
  // Keys below HKEY_CURRENT_USER\<root> instead, so that tests can use the
  // real registry without touching the user's own settings or Run key.
  explicit Win32RegistryPort(std::string root) : root_(std::move(root)) {}

  std::unique_ptr<IRegistryKey> CreateKey(const std::string& path) override;
  std::unique_ptr<IRegistryKey> OpenKey(const std::string& path) override;

 private:
  [[nodiscard]] std::string Rooted(const std::string& path) const;

  std::string root_;
};

}  // namespace tw::win32
