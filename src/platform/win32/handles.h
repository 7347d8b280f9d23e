// One owner for each Win32 handle: a small move-only wrapper per handle type.
#pragma once

#include <windows.h>

#include <atomic>
#include <utility>

namespace tw::win32 {

// What a handle costs the system: GDI objects and USER objects are each
// limited per process, so those the program holds are counted as they pass
// through the wrappers below (every one the program makes does). A long run
// of tool runs must end with the counts it started with.
enum class HandleKind { Gdi, User, Other };
inline std::atomic<long> liveHandles[3];
inline long LiveHandles(HandleKind kind) { return liveHandles[static_cast<int>(kind)].load(); }

template <typename Handle, typename Traits>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(Handle h) : handle_(h) { Count(h, 1); }
  ~UniqueHandle() { reset(); }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, Traits::Invalid())) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) {
      reset();
      handle_ = std::exchange(other.handle_, Traits::Invalid());
    }
    return *this;
  }

  [[nodiscard]] Handle get() const { return handle_; }
  explicit operator bool() const { return Traits::Valid(handle_); }
  // For the hand-offs where Windows takes ownership.
  Handle release() {
    Count(handle_, -1);
    return std::exchange(handle_, Traits::Invalid());
  }
  void reset(Handle h = Traits::Invalid()) {
    if (Traits::Valid(handle_)) {
      Traits::Close(handle_);
      Count(handle_, -1);
    }
    handle_ = h;
    Count(h, 1);
  }

 private:
  static void Count(Handle h, long change) {
    if (Traits::Valid(h)) liveHandles[static_cast<int>(Traits::kKind)] += change;
  }
  Handle handle_ = Traits::Invalid();
};

template <typename Handle, auto CloseFn, HandleKind Kind>
struct NullTraits {
  static constexpr HandleKind kKind = Kind;
  static Handle Invalid() { return nullptr; }
  static bool Valid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { CloseFn(h); }
};

// A file handle: CreateFileW answers INVALID_HANDLE_VALUE, not null, when it
// fails; null is never a file either.
struct FileTraits {
  static constexpr HandleKind kKind = HandleKind::Other;
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static bool Valid(HANDLE h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
  static void Close(HANDLE h) { CloseHandle(h); }
};

inline void CloseGdiObject(HGDIOBJ h) { DeleteObject(h); }
inline void CloseMenu(HMENU h) { DestroyMenu(h); }
inline void CloseIcon(HICON h) { DestroyIcon(h); }
inline void CloseMemDC(HDC h) { DeleteDC(h); }
inline void CloseKey(HKEY h) { RegCloseKey(h); }
inline void CloseGlobal(HGLOBAL h) { GlobalFree(h); }
inline void CloseLocal(HLOCAL h) { LocalFree(h); }
inline void CloseHook(HHOOK h) { UnhookWindowsHookEx(h); }
inline void CloseLibrary(HMODULE h) { FreeLibrary(h); }
inline void CloseWindowHandle(HWND h) { DestroyWindow(h); }
inline void CloseKernelHandle(HANDLE h) { CloseHandle(h); }

using UniqueBitmap = UniqueHandle<HBITMAP, NullTraits<HBITMAP, CloseGdiObject, HandleKind::Gdi>>;
using UniqueFont = UniqueHandle<HFONT, NullTraits<HFONT, CloseGdiObject, HandleKind::Gdi>>;
using UniqueBrush = UniqueHandle<HBRUSH, NullTraits<HBRUSH, CloseGdiObject, HandleKind::Gdi>>;
using UniqueMenu = UniqueHandle<HMENU, NullTraits<HMENU, CloseMenu, HandleKind::User>>;
using UniqueIcon = UniqueHandle<HICON, NullTraits<HICON, CloseIcon, HandleKind::User>>;
using UniqueMemDC = UniqueHandle<HDC, NullTraits<HDC, CloseMemDC, HandleKind::Gdi>>;
using UniqueKey = UniqueHandle<HKEY, NullTraits<HKEY, CloseKey, HandleKind::Other>>;
using UniqueGlobal = UniqueHandle<HGLOBAL, NullTraits<HGLOBAL, CloseGlobal, HandleKind::Other>>;
using UniqueLocal = UniqueHandle<HLOCAL, NullTraits<HLOCAL, CloseLocal, HandleKind::Other>>;
// A hook is one of the USER objects Windows counts per process.
using UniqueHook = UniqueHandle<HHOOK, NullTraits<HHOOK, CloseHook, HandleKind::User>>;
using UniqueFile = UniqueHandle<HANDLE, FileTraits>;
using UniqueLibrary = UniqueHandle<HMODULE, NullTraits<HMODULE, CloseLibrary, HandleKind::Other>>;
using UniqueWindow = UniqueHandle<HWND, NullTraits<HWND, CloseWindowHandle, HandleKind::User>>;
using UniqueKernelHandle = UniqueHandle<HANDLE, NullTraits<HANDLE, CloseKernelHandle, HandleKind::Other>>;

// A device context obtained with GetDC/GetDCEx, given back with ReleaseDC.
class WindowDC {
 public:
  WindowDC(HWND window, HDC dc) : window_(window), dc_(dc) { Count(1); }
  explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) { Count(1); }
  ~WindowDC() {
    if (dc_ != nullptr) ReleaseDC(window_, dc_);
    Count(-1);
  }
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  [[nodiscard]] HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  void Count(long change) const {
    if (dc_ != nullptr) liveHandles[static_cast<int>(HandleKind::Gdi)] += change;
  }
  HWND window_;
  HDC dc_;
};

// Puts back what SelectObject replaced.
class SelectionRestorer {
 public:
  SelectionRestorer(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~SelectionRestorer() {
    if (previous_ != nullptr && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
  }
  SelectionRestorer(const SelectionRestorer&) = delete;
  SelectionRestorer& operator=(const SelectionRestorer&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

}  // namespace tw::win32
