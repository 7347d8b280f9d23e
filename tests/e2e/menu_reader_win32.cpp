// Reading another process's popup menu.
//
// MN_GETHMENU (0x01E1) sent to the "#32768" window gives the menu's handle,
// but under Wine 8 that handle is no use outside the owning process:
// GetMenuItemCount answers -1 and GetMenuItemInfoW fails, because Wine keeps
// a menu's items in the memory of the process that made it. So the reading
// is done inside Tarnwick.exe: a small probe library is loaded there with a
// remote thread running LoadLibraryW, and a second remote thread runs the
// probe's entry point on a record in Tarnwick's memory, which is read back.
// It costs ~30 ms and works the same on Windows.
#include "e2e/menu_reader_win32.h"

#include <psapi.h>

#include <algorithm>
#include <cstdint>
#include <cwctype>
#include <memory>

#include "e2e/probe/menu_probe_win32.h"

namespace e2e {

namespace {
constexpr UINT kGetMenuHandle = 0x01E1;  // MN_GETHMENU

class RemoteMemory {
 public:
  RemoteMemory(HANDLE process, size_t bytes)
      : process_(process), address_(VirtualAllocEx(process, nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {}
  RemoteMemory(const RemoteMemory&) = delete;
  RemoteMemory& operator=(const RemoteMemory&) = delete;
  ~RemoteMemory() {
    if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
  }
  [[nodiscard]] void* get() const { return address_; }

 private:
  HANDLE process_;
  void* address_;
};

class LocalLibrary {
 public:
  explicit LocalLibrary(const std::wstring& path) : module_(LoadLibraryW(path.c_str())) {}
  LocalLibrary(const LocalLibrary&) = delete;
  LocalLibrary& operator=(const LocalLibrary&) = delete;
  ~LocalLibrary() {
    if (module_) FreeLibrary(module_);
  }
  [[nodiscard]] HMODULE get() const { return module_; }

 private:
  HMODULE module_;
};

std::wstring Lower(std::wstring s) {
  for (auto& c : s) c = static_cast<wchar_t>(std::towlower(c));
  return s;
}

}  // namespace

LPTHREAD_START_ROUTINE Translate(HMODULE localModule, FARPROC localAddress, HMODULE remoteModule) {
  const auto offset = reinterpret_cast<std::uintptr_t>(localAddress) - reinterpret_cast<std::uintptr_t>(localModule);
  return reinterpret_cast<LPTHREAD_START_ROUTINE>(reinterpret_cast<std::uintptr_t>(remoteModule) + offset);
}

// The base address of the module of `process` whose path ends in `tail`.
HMODULE RemoteModule(HANDLE process, const std::wstring& tail) {
  HMODULE modules[512];
  DWORD needed = 0;
  if (!EnumProcessModules(process, modules, sizeof modules, &needed)) return nullptr;
  const std::wstring want = Lower(tail);
  const DWORD count = std::min<DWORD>(needed / sizeof(HMODULE), 512);
  for (DWORD i = 0; i < count; ++i) {
    wchar_t name[MAX_PATH * 2] = {};
    if (!GetModuleFileNameExW(process, modules[i], name, MAX_PATH * 2)) continue;
    const std::wstring path = Lower(name);
    if (path.size() >= want.size() && path.compare(path.size() - want.size(), want.size(), want) == 0)
      return modules[i];
  }
  return nullptr;
}

bool RunRemote(HANDLE process, LPTHREAD_START_ROUTINE start, void* param, DWORD* exitCode, std::string* error,
               const char* what) {
  Handle thread(CreateRemoteThread(process, nullptr, 0, start, param, 0, nullptr));
  if (!thread) {
    *error = std::string("CreateRemoteThread for ") + what + " failed with " + std::to_string(GetLastError());
    return false;
  }
  if (WaitForSingleObject(thread.get(), 5000) != WAIT_OBJECT_0) {
    *error = std::string(what) + " did not finish within 5 s inside the process";
    return false;
  }
  GetExitCodeThread(thread.get(), exitCode);
  return true;
}

std::optional<WindowInfo> VisiblePopupMenu(DWORD pid) {
  // Wine shows the menu window a moment before it gives it its size and
  // place; until then it is not the menu the user sees.
  return FindTopLevelWindow(pid, [](const WindowInfo& w) {
    return w.visible && w.className == L"#32768" && !IsRectEmpty(&w.rect);
  });
}

std::optional<std::vector<MenuItem>> ReadPopupMenu(HANDLE process, HWND menuWindow, std::string* error) {
  std::string ignored;
  if (!error) error = &ignored;
  DWORD_PTR menu = 0;
  if (!SendMessageTimeoutW(menuWindow, kGetMenuHandle, 0, 0, SMTO_ABORTIFHUNG, 2000, &menu) || menu == 0) {
    *error = "MN_GETHMENU gave no menu handle";
    return std::nullopt;
  }
  const std::wstring probePath = OwnFolder() + probe::kDllName;
  LocalLibrary local(probePath);
  if (!local.get()) {
    *error = "cannot load " + Narrow(probePath) + " (error " + std::to_string(GetLastError()) + ")";
    return std::nullopt;
  }
  const FARPROC localEntry = GetProcAddress(local.get(), probe::kEntryName);
  HMODULE localKernel = GetModuleHandleW(L"kernel32.dll");
  const FARPROC localLoad = GetProcAddress(localKernel, "LoadLibraryW");
  const FARPROC localFree = GetProcAddress(localKernel, "FreeLibrary");
  HMODULE remoteKernel = RemoteModule(process, L"\\kernel32.dll");
  if (!localEntry || !localLoad || !localFree || !remoteKernel) {
    *error = "cannot find the probe's entry point or kernel32 in the process";
    return std::nullopt;
  }

  const size_t pathBytes = (probePath.size() + 1) * sizeof(wchar_t);
  RemoteMemory memory(process, sizeof(probe::MenuRecord) + pathBytes);
  if (!memory.get()) {
    *error = "VirtualAllocEx failed with " + std::to_string(GetLastError());
    return std::nullopt;
  }
  auto* remotePath = static_cast<char*>(memory.get()) + sizeof(probe::MenuRecord);
  if (!WriteProcessMemory(process, remotePath, probePath.c_str(), pathBytes, nullptr)) {
    *error = "WriteProcessMemory failed with " + std::to_string(GetLastError());
    return std::nullopt;
  }
  DWORD code = 0;
  if (!RunRemote(process, Translate(localKernel, localLoad, remoteKernel), remotePath, &code, error, "LoadLibraryW"))
    return std::nullopt;
  HMODULE remoteProbe = RemoteModule(process, std::wstring(L"\\") + probe::kDllName);
  if (!remoteProbe) {
    *error = "the probe library did not load inside the process";
    return std::nullopt;
  }

  auto record = std::make_unique<probe::MenuRecord>();
  *record = probe::MenuRecord{};
  record->size = sizeof(probe::MenuRecord);
  record->menu = reinterpret_cast<HMENU>(menu);
  record->count = -1;
  bool ok = WriteProcessMemory(process, memory.get(), record.get(), sizeof *record, nullptr) &&
            RunRemote(process, Translate(local.get(), localEntry, remoteProbe), memory.get(), &code, error,
                      "the menu probe") &&
            ReadProcessMemory(process, memory.get(), record.get(), sizeof *record, nullptr);
  DWORD freed = 0;
  std::string freeError;
  RunRemote(process, Translate(localKernel, localFree, remoteKernel), remoteProbe, &freed, &freeError, "FreeLibrary");
  if (!ok) {
    if (error->empty()) *error = "cannot copy the menu record to or from the process";
    return std::nullopt;
  }
  if (record->count < 0) {
    *error = "the handle from MN_GETHMENU is not a menu of the process";
    return std::nullopt;
  }
  std::vector<MenuItem> items;
  for (int i = 0; i < record->count && i < probe::kMaxItems; ++i) {
    const probe::MenuItem& in = record->items[i];
    items.push_back(MenuItem{in.id, in.type, in.state, in.text, in.rect});
  }
  return items;
}

std::string Describe(const std::vector<MenuItem>& items) {
  if (items.empty()) return "no items";
  std::string out;
  for (const auto& item : items) {
    out += "\n    ";
    if (item.Separator()) {
      out += "----";
      continue;
    }
    out += "\"" + Narrow(item.text) + "\" id " + std::to_string(item.id) + (item.Enabled() ? "" : " disabled") +
           " at " + Describe(item.rect);
  }
  return out;
}

}  // namespace e2e
