#include "platform/win32/registry_win32.h"

#include <windows.h>

#include <algorithm>
#include <string_view>

#include "platform/registry_data.h"
#include "platform/win32/handles.h"
#include "platform/win32/utf.h"

namespace tw::win32 {
namespace {

constexpr REGSAM kAccess = KEY_READ | KEY_WRITE;

UniqueKey CreateRegistryKey(HKEY parent, const std::string& path) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(parent, Widen(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, kAccess,
                      nullptr, &key, nullptr) != ERROR_SUCCESS)
    return UniqueKey();
  return UniqueKey(key);
}

UniqueKey OpenRegistryKey(HKEY parent, const std::string& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(parent, Widen(path).c_str(), 0, kAccess, &key) != ERROR_SUCCESS)
    return UniqueKey();
  return UniqueKey(key);
}

// The text of `bytes` bytes of data that the registry put into `data`; the
// rule for what counts (RegistryTextLength) is platform-free, so that it is
// checked on any input natively.
std::string TextOfData(const std::wstring& data, DWORD bytes) {
  const std::size_t available = std::min<std::size_t>(bytes, data.size() * sizeof(wchar_t));
  const std::size_t units =
      RegistryTextLength({reinterpret_cast<const std::uint8_t*>(data.data()), available});
  return Narrow(std::wstring_view(data.data(), units));
}

class Win32RegistryKey : public IRegistryKey {
 public:
  explicit Win32RegistryKey(UniqueKey key) : key_(std::move(key)) {}

  std::unique_ptr<IRegistryKey> CreateSubKey(const std::string& path) override {
    return Wrap(CreateRegistryKey(key_.get(), path));
  }
  std::unique_ptr<IRegistryKey> OpenSubKey(const std::string& path) override {
    return Wrap(OpenRegistryKey(key_.get(), path));
  }

  RegistryValue ReadValue(const std::string& name) override {
    const std::wstring wideName = Widen(name);
    RegistryValue value;
    DWORD type = REG_NONE;
    DWORD bytes = 0;
    LSTATUS status =
        RegQueryValueExW(key_.get(), wideName.c_str(), nullptr, &type, nullptr, &bytes);
    if (status == ERROR_FILE_NOT_FOUND) return value;
    value.type = type;
    if (status != ERROR_SUCCESS) {
      value.status = RegistryRead::Unreadable;
      return value;
    }
    value.status = RegistryRead::Found;
    if (!IsTextType(type)) return value;

    // Another program may change the value between the two calls; a few
    // rounds with the size it reports then settle it.
    for (int attempt = 0; attempt < 4; ++attempt) {
      std::wstring data(bytes / sizeof(wchar_t) + 1, L'\0');
      DWORD got = static_cast<DWORD>(data.size() * sizeof(wchar_t));
      status = RegQueryValueExW(key_.get(), wideName.c_str(), nullptr, &type,
                                reinterpret_cast<BYTE*>(data.data()), &got);
      if (status == ERROR_MORE_DATA) {
        bytes = got;
        continue;
      }
      if (status != ERROR_SUCCESS) break;
      value.type = type;
      if (IsTextType(type)) value.text = TextOfData(data, got);
      return value;
    }
    value.status = RegistryRead::Unreadable;
    return value;
  }

  bool WriteString(const std::string& name, const std::string& text) override {
    const std::wstring data = Widen(text);
    // The terminating zero is part of the data, as REG_SZ readers expect.
    const std::size_t bytes = (data.size() + 1) * sizeof(wchar_t);
    if (bytes > MAXDWORD) return false;
    return RegSetValueExW(key_.get(), Widen(name).c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(data.c_str()),
                          static_cast<DWORD>(bytes)) == ERROR_SUCCESS;
  }

  bool DeleteValue(const std::string& name) override {
    return RegDeleteValueW(key_.get(), Widen(name).c_str()) == ERROR_SUCCESS;
  }

  static std::unique_ptr<IRegistryKey> Wrap(UniqueKey key) {
    if (!key) return nullptr;
    return std::make_unique<Win32RegistryKey>(std::move(key));
  }

 private:
  UniqueKey key_;
};

}  // namespace

std::string Win32RegistryPort::Rooted(const std::string& path) const {
  if (root_.empty()) return path;
  return path.empty() ? root_ : root_ + "\\" + path;
}

std::unique_ptr<IRegistryKey> Win32RegistryPort::CreateKey(const std::string& path) {
  return Win32RegistryKey::Wrap(CreateRegistryKey(HKEY_CURRENT_USER, Rooted(path)));
}

std::unique_ptr<IRegistryKey> Win32RegistryPort::OpenKey(const std::string& path) {
  return Win32RegistryKey::Wrap(OpenRegistryKey(HKEY_CURRENT_USER, Rooted(path)));
}

}  // namespace tw::win32
