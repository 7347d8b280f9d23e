// One owner for each Win32 handle: a small move-only wrapper per handle type.
#pragma once

#include <windows.h>

#include <utility>

namespace tw::win32 {

template <typename Handle, typename Traits>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(Handle h) : handle_(h) {}
  ~UniqueHandle() { reset(); }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }

  [[nodiscard]] Handle get() const { return handle_; }
  explicit operator bool() const { return Traits::Valid(handle_); }
  // For the hand-offs where Windows takes ownership.
  Handle release() { return std::exchange(handle_, Traits::Invalid()); }
  void reset(Handle h = Traits::Invalid()) {
    if (Traits::Valid(handle_)) Traits::Close(handle_);
    handle_ = h;
  }

 private:
  Handle handle_ = Traits::Invalid();
};

template <typename Handle, auto CloseFn>
struct NullTraits {
  static Handle Invalid() { return nullptr; }
  static bool Valid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { CloseFn(h); }
};

inline void CloseGdiObject(HGDIOBJ h) { DeleteObject(h); }
inline void CloseMenu(HMENU h) { DestroyMenu(h); }
inline void CloseIcon(HICON h) { DestroyIcon(h); }
inline void CloseMemDC(HDC h) { DeleteDC(h); }
inline void CloseKey(HKEY h) { RegCloseKey(h); }
inline void CloseGlobal(HGLOBAL h) { GlobalFree(h); }
inline void CloseLibrary(HMODULE h) { FreeLibrary(h); }
inline void CloseWindowHandle(HWND h) { DestroyWindow(h); }
inline void CloseKernelHandle(HANDLE h) { CloseHandle(h); }

using UniqueBitmap = UniqueHandle<HBITMAP, NullTraits<HBITMAP, CloseGdiObject>>;
using UniqueFont = UniqueHandle<HFONT, NullTraits<HFONT, CloseGdiObject>>;
using UniqueBrush = UniqueHandle<HBRUSH, NullTraits<HBRUSH, CloseGdiObject>>;
using UniqueMenu = UniqueHandle<HMENU, NullTraits<HMENU, CloseMenu>>;
using UniqueIcon = UniqueHandle<HICON, NullTraits<HICON, CloseIcon>>;
using UniqueMemDC = UniqueHandle<HDC, NullTraits<HDC, CloseMemDC>>;
using UniqueKey = UniqueHandle<HKEY, NullTraits<HKEY, CloseKey>>;
using UniqueGlobal = UniqueHandle<HGLOBAL, NullTraits<HGLOBAL, CloseGlobal>>;
using UniqueLibrary = UniqueHandle<HMODULE, NullTraits<HMODULE, CloseLibrary>>;
using UniqueWindow = UniqueHandle<HWND, NullTraits<HWND, CloseWindowHandle>>;
using UniqueKernelHandle = UniqueHandle<HANDLE, NullTraits<HANDLE, CloseKernelHandle>>;

// A device context obtained with GetDC/GetDCEx, given back with ReleaseDC.
class WindowDC {
 public:
  WindowDC(HWND window, HDC dc) : window_(window), dc_(dc) {}
  explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~WindowDC() {
    if (dc_ != nullptr) ReleaseDC(window_, dc_);
  }
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  [[nodiscard]] HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
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
