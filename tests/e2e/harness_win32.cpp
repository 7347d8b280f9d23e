#include "e2e/harness_win32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

namespace e2e {

std::string Narrow(std::wstring_view text) {
  if (text.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                    nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

std::wstring Widen(std::string_view text) {
  if (text.empty()) return {};
  const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  return out;
}

std::string Describe(const RECT& r) {
  return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" + std::to_string(r.right) + "," +
         std::to_string(r.bottom) + ")";
}

std::string Hex(std::uint32_t value) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%06lX", static_cast<unsigned long>(value));
  return buf;
}

Handle& Handle::operator=(Handle&& other) noexcept {
  if (this != &other) {
    if (h_) CloseHandle(h_);
    h_ = other.h_;
    other.h_ = nullptr;
  }
  return *this;
}

Handle::~Handle() {
  if (h_) CloseHandle(h_);
}

void Pause(Millis duration) {
  const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(duration.count());
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    const ULONGLONG now = GetTickCount64();
    if (now >= end) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::min<ULONGLONG>(end - now, 10)), QS_ALLINPUT);
  }
}

bool WaitUntil(const std::function<bool()>& condition, Millis timeout, Millis poll) {
  const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(timeout.count());
  for (;;) {
    if (condition()) return true;
    if (GetTickCount64() >= end) return condition();
    Pause(poll);
  }
}

bool Process::Start(const std::wstring& exe, const std::wstring& commandTail, std::string* error) {
  Kill();
  std::wstring commandLine = L"\"" + exe + L"\"";
  if (!commandTail.empty()) commandLine += L" " + commandTail;
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  startError_ = 0;
  if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    startError_ = GetLastError();
    if (error) *error = "CreateProcess(" + Narrow(exe) + ") failed with error " + std::to_string(startError_);
    return false;
  }
  CloseHandle(pi.hThread);
  process_ = Handle(pi.hProcess);
  id_ = pi.dwProcessId;
  return true;
}

bool Process::Running() const {
  return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> Process::WaitForExit(Millis timeout) const {
  if (!process_) return std::nullopt;
  // Pumps while waiting: a process that broadcasts to top-level windows as it
  // ends must not hang on the test's own windows.
  const bool ended = WaitUntil([&] { return WaitForSingleObject(process_.get(), 0) == WAIT_OBJECT_0; }, timeout);
  if (!ended) return std::nullopt;
  DWORD code = 0;
  GetExitCodeProcess(process_.get(), &code);
  return code;
}

void Process::Kill() {
  if (!process_) return;
  if (Running()) {
    TerminateProcess(process_.get(), 0xDEAD);
    WaitForSingleObject(process_.get(), 5000);
  }
  process_ = Handle();
  id_ = 0;
}

std::wstring OwnFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  return path.substr(0, path.find_last_of(L"\\/") + 1);
}

std::wstring TarnwickExePath() {
  wchar_t buf[MAX_PATH * 2];
  const DWORD n = GetEnvironmentVariableW(L"TARNWICK_EXE", buf, MAX_PATH * 2);
  if (n > 0 && n < MAX_PATH * 2) return buf;
  return OwnFolder() + L"Tarnwick.exe";
}

bool FileExists(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string WindowInfo::Describe() const {
  char handle[32];
  std::snprintf(handle, sizeof handle, "%p", static_cast<void*>(hwnd));
  return std::string("{") + handle + " class \"" + Narrow(className) + "\" title \"" + Narrow(title) + "\" " +
         e2e::Describe(rect) + (visible ? " visible" : " hidden") + " style " + Hex(static_cast<std::uint32_t>(style)) +
         " exstyle " + Hex(static_cast<std::uint32_t>(exStyle)) + " pid " + std::to_string(pid) + "}";
}

WindowInfo Inspect(HWND hwnd) {
  WindowInfo info;
  info.hwnd = hwnd;
  GetWindowThreadProcessId(hwnd, &info.pid);
  wchar_t buf[256] = {};
  GetClassNameW(hwnd, buf, 256);
  info.className = buf;
  // Across processes GetWindowText reads the stored caption without asking
  // the window, which is what is wanted for a caption.
  buf[0] = 0;
  GetWindowTextW(hwnd, buf, 256);
  info.title = buf;
  GetWindowRect(hwnd, &info.rect);
  info.style = GetWindowLongW(hwnd, GWL_STYLE);
  info.exStyle = GetWindowLongW(hwnd, GWL_EXSTYLE);
  info.visible = IsWindowVisible(hwnd) != FALSE;
  return info;
}

namespace {
struct EnumState {
  DWORD pid;
  std::vector<WindowInfo> found;
};

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM param) {
  auto* state = reinterpret_cast<EnumState*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (state->pid == 0 || pid == state->pid) state->found.push_back(Inspect(hwnd));
  return TRUE;
}
}  // namespace

std::vector<WindowInfo> TopLevelWindows(DWORD pid) {
  EnumState state{pid, {}};
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&state));
  return state.found;
}

std::vector<WindowInfo> VisibleTopLevelWindows(DWORD pid) {
  std::vector<WindowInfo> visible;
  for (auto& w : TopLevelWindows(pid))
    if (w.visible) visible.push_back(std::move(w));
  return visible;
}

std::optional<WindowInfo> FindTopLevelWindow(DWORD pid, const std::function<bool(const WindowInfo&)>& match) {
  for (auto& w : TopLevelWindows(pid))
    if (match(w)) return w;
  return std::nullopt;
}

std::wstring MessageBoxText(HWND box) {
  std::wstring all;
  for (HWND text = FindWindowExW(box, nullptr, L"Static", nullptr); text != nullptr;
       text = FindWindowExW(box, text, L"Static", nullptr)) {
    wchar_t t[512] = {};
    GetWindowTextW(text, t, 512);
    if (t[0] == 0) continue;  // the icon
    if (!all.empty()) all += L"\n";
    all += t;
  }
  return all;
}

std::optional<WindowInfo> WaitForMessageBox(DWORD pid, Millis timeout, HWND except) {
  std::optional<WindowInfo> box;
  WaitUntil(
      [&] {
        box = FindTopLevelWindow(pid, [&](const WindowInfo& w) {
          return w.visible && w.className == L"#32770" && w.hwnd != except &&
                 FindWindowExW(w.hwnd, nullptr, L"Static", nullptr) != nullptr && !MessageBoxText(w.hwnd).empty();
        });
        return box.has_value();
      },
      timeout);
  return box;
}

std::string Describe(const std::vector<WindowInfo>& windows) {
  if (windows.empty()) return "none";
  std::string out;
  for (const auto& w : windows) out += "\n    " + w.Describe();
  return out;
}

RECT ScreenRect() { return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

namespace {
struct ScreenDc {
  HDC dc = GetDC(nullptr);
  ScreenDc() = default;
  ScreenDc(const ScreenDc&) = delete;
  ScreenDc& operator=(const ScreenDc&) = delete;
  ~ScreenDc() {
    if (dc) ReleaseDC(nullptr, dc);
  }
};
struct MemoryDc {
  HDC dc;
  explicit MemoryDc(HDC like) : dc(CreateCompatibleDC(like)) {}
  MemoryDc(const MemoryDc&) = delete;
  MemoryDc& operator=(const MemoryDc&) = delete;
  ~MemoryDc() {
    if (dc) DeleteDC(dc);
  }
};
struct GdiObject {
  HGDIOBJ object;
  explicit GdiObject(HGDIOBJ o) : object(o) {}
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  ~GdiObject() {
    if (object) DeleteObject(object);
  }
};
struct Selected {
  HDC dc;
  HGDIOBJ old;
  Selected(HDC d, HGDIOBJ o) : dc(d), old(SelectObject(d, o)) {}
  Selected(const Selected&) = delete;
  Selected& operator=(const Selected&) = delete;
  ~Selected() { SelectObject(dc, old); }
};
}  // namespace

ScreenShot ScreenShot::Take(const RECT& area) {
  ScreenShot shot;
  const int w = area.right - area.left;
  const int h = area.bottom - area.top;
  if (w <= 0 || h <= 0) return shot;
  ScreenDc screen;
  MemoryDc memory(screen.dc);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;  // top-down
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  GdiObject dib(CreateDIBSection(memory.dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!dib.object || !bits) return shot;
  {
    Selected selected(memory.dc, dib.object);
    if (!BitBlt(memory.dc, 0, 0, w, h, screen.dc, area.left, area.top, SRCCOPY)) return shot;
    GdiFlush();
  }
  const auto* first = static_cast<const std::uint32_t*>(bits);
  shot.pixels_.assign(first, first + static_cast<size_t>(w) * static_cast<size_t>(h));
  shot.area_ = area;
  return shot;
}

COLORREF ScreenShot::At(int x, int y) const {
  const int w = area_.right - area_.left;
  const std::uint32_t p =
      pixels_[static_cast<size_t>(y - area_.top) * static_cast<size_t>(w) + static_cast<size_t>(x - area_.left)];
  return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

bool ScreenShot::SaveBmp(const std::wstring& path) const {
  if (!Valid()) return false;
  const int w = area_.right - area_.left;
  const int h = area_.bottom - area_.top;
  const int stride = (w * 3 + 3) & ~3;
  BITMAPFILEHEADER fh{};
  BITMAPINFOHEADER ih{};
  ih.biSize = sizeof ih;
  ih.biWidth = w;
  ih.biHeight = h;
  ih.biPlanes = 1;
  ih.biBitCount = 24;
  fh.bfType = 0x4D42;
  fh.bfOffBits = sizeof fh + sizeof ih;
  fh.bfSize = fh.bfOffBits + static_cast<DWORD>(stride * h);
  std::vector<BYTE> rows(static_cast<size_t>(stride) * static_cast<size_t>(h), 0);
  for (int y = 0; y < h; ++y) {
    BYTE* row = &rows[static_cast<size_t>(h - 1 - y) * static_cast<size_t>(stride)];
    for (int x = 0; x < w; ++x) {
      const std::uint32_t p = pixels_[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)];
      row[x * 3 + 0] = static_cast<BYTE>(p & 0xFF);
      row[x * 3 + 1] = static_cast<BYTE>((p >> 8) & 0xFF);
      row[x * 3 + 2] = static_cast<BYTE>((p >> 16) & 0xFF);
    }
  }
  Handle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  DWORD written = 0;
  return WriteFile(file.get(), &fh, sizeof fh, &written, nullptr) &&
         WriteFile(file.get(), &ih, sizeof ih, &written, nullptr) &&
         WriteFile(file.get(), rows.data(), static_cast<DWORD>(rows.size()), &written, nullptr);
}

void Inject(std::vector<INPUT> inputs) {
  std::size_t sent = 0;
  DWORD error = 0;
  const bool all = WaitUntil(
      [&] {
        sent += SendInput(static_cast<UINT>(inputs.size() - sent), inputs.data() + sent, sizeof(INPUT));
        error = GetLastError();
        return sent == inputs.size();
      },
      Millis(1000), Millis(10));
  EXPECT_TRUE(all) << "SendInput queued " << sent << " of " << inputs.size() << " inputs (error " << error << ")";
}

void PressKey(WORD virtualKey) { PressKeys({virtualKey}); }

void PressKeys(std::initializer_list<WORD> chord) {
  // All down in order, then all up in reverse, as a person presses Ctrl+Alt+S.
  std::vector<INPUT> in;
  for (WORD key : chord) {
    INPUT down{};
    down.type = INPUT_KEYBOARD;
    down.ki.wVk = key;
    down.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
    in.push_back(down);
  }
  for (auto it = chord.end(); it != chord.begin();) {
    INPUT up = in[static_cast<std::size_t>(--it - chord.begin())];
    up.ki.dwFlags = KEYEVENTF_KEYUP;
    in.push_back(up);
  }
  Inject(std::move(in));
}

POINT Centre(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

namespace {
// An open registry key under HKEY_CURRENT_USER, closed when it goes.
class OpenKey {
 public:
  enum class Mode { Read, Create };
  OpenKey(const std::wstring& subKey, Mode mode) {
    const LONG rc = mode == Mode::Read
                        ? RegOpenKeyExW(HKEY_CURRENT_USER, subKey.c_str(), 0, KEY_READ, &key_)
                        : RegCreateKeyExW(HKEY_CURRENT_USER, subKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                          &key_, nullptr);
    if (rc != ERROR_SUCCESS) {
      key_ = nullptr;
      error_ = rc;
    }
  }
  OpenKey(const OpenKey&) = delete;
  OpenKey& operator=(const OpenKey&) = delete;
  ~OpenKey() {
    if (key_) RegCloseKey(key_);
  }
  [[nodiscard]] HKEY get() const { return key_; }
  [[nodiscard]] LONG error() const { return error_; }

 private:
  HKEY key_ = nullptr;
  LONG error_ = ERROR_SUCCESS;
};

bool SetText(const wchar_t* subKey, const wchar_t* name, const wchar_t* text, std::string* error) {
  OpenKey key(subKey, OpenKey::Mode::Create);
  if (!key.get()) {
    if (error) *error = "RegCreateKeyEx(" + Narrow(subKey) + ") failed with " + std::to_string(key.error());
    return false;
  }
  if (!name) return true;
  const auto bytes = static_cast<DWORD>((wcslen(text) + 1) * sizeof(wchar_t));
  const LONG rc = RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), bytes);
  if (rc != ERROR_SUCCESS) {
    if (error) *error = "RegSetValueEx(" + Narrow(name) + ") failed with " + std::to_string(rc);
    return false;
  }
  return true;
}
}  // namespace


std::optional<RegistryValue> ReadRegistryValue(const std::wstring& subKey, const std::wstring& name) {
  OpenKey key(subKey, OpenKey::Mode::Read);
  if (!key.get()) return std::nullopt;
  DWORD type = REG_NONE;
  DWORD bytes = 0;
  if (RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS) return std::nullopt;
  std::vector<BYTE> data(bytes + sizeof(wchar_t), 0);
  if (RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, data.data(), &bytes) != ERROR_SUCCESS)
    return std::nullopt;
  RegistryValue value;
  value.type = type;
  if (type == REG_SZ || type == REG_EXPAND_SZ) {
    std::wstring text(reinterpret_cast<const wchar_t*>(data.data()), bytes / sizeof(wchar_t));
    while (!text.empty() && text.back() == L'\0') text.pop_back();
    value.text = text;
  }
  return value;
}

std::vector<std::wstring> RegistryValueNames(const std::wstring& subKey) {
  std::vector<std::wstring> names;
  OpenKey key(subKey, OpenKey::Mode::Read);
  if (!key.get()) return names;
  for (DWORD i = 0;; ++i) {
    wchar_t name[256];
    DWORD length = 256;
    if (RegEnumValueW(key.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(name, length);
  }
  return names;
}

bool WriteRegistryText(const std::wstring& subKey, const std::wstring& name, const std::wstring& text,
                       std::string* error) {
  return SetText(subKey.c_str(), name.c_str(), text.c_str(), error);
}

bool RecordEarlierStart(std::string* error) {
  // Tarnwick counts a start as the first when the product key has no
  // "@Started" value and no options key exists (settings saved earlier).
  return SetText(L"SOFTWARE\\Velmora\\Tarnwick\\Options", nullptr, nullptr, error) &&
         SetText(L"SOFTWARE\\Velmora\\Tarnwick", L"@Started", L"1", error);
}

}  // namespace e2e
