#include "e2e/dialog_view_win32.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace e2e {

namespace {

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = L"";
  GetClassNameW(window, name, 64);
  return name;
}

// Asked of the control itself: GetWindowText does not ask a window of
// another process.
std::wstring TextOf(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length)) return L"";
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                           2000, &copied))
    return L"";
  text.resize(static_cast<std::size_t>(copied <= length ? copied : length));
  return text;
}

// The few GDI+ flat functions a PNG needs, by name.
struct GdiplusStartupInput {
  UINT32 version = 1;
  void* debugEventCallback = nullptr;
  BOOL suppressBackgroundThread = FALSE;
  BOOL suppressExternalCodecs = FALSE;
};
using StartupFn = int(WINAPI*)(ULONG_PTR*, const GdiplusStartupInput*, void*);
using ShutdownFn = void(WINAPI*)(ULONG_PTR);
using FromScan0Fn = int(WINAPI*)(INT, INT, INT, INT, BYTE*, void**);
using SaveFn = int(WINAPI*)(void*, const WCHAR*, const CLSID*, const void*);
using DisposeFn = int(WINAPI*)(void*);
constexpr INT kPixelFormat32bppRGB = 0x00022009;
constexpr CLSID kPngEncoder = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};

template <typename Fn>
Fn Function(HMODULE module, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

std::vector<ChildControl> ChildControls(HWND parent) {
  std::vector<ChildControl> found;
  EnumChildWindows(
      parent,
      [](HWND child, LPARAM data) -> BOOL {
        auto* list = reinterpret_cast<std::vector<ChildControl>*>(data);
        ChildControl c;
        c.hwnd = child;
        c.id = GetDlgCtrlID(child);
        c.className = ClassOf(child);
        c.text = TextOf(child);
        GetWindowRect(child, &c.rect);
        c.visible = IsWindowVisible(child) != FALSE;
        list->push_back(std::move(c));
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

const ChildControl* ControlWithId(const std::vector<ChildControl>& controls, int id) {
  for (const auto& c : controls)
    if (c.id == id) return &c;
  return nullptr;
}

const ChildControl* ControlWithText(const std::vector<ChildControl>& controls, const std::wstring& text) {
  for (const auto& c : controls)
    if (c.text == text) return &c;
  return nullptr;
}

std::string Describe(const std::vector<ChildControl>& controls) {
  if (controls.empty()) return " none";
  std::string out;
  for (const auto& c : controls)
    out += "\n    " + std::to_string(c.id) + " " + Narrow(c.className) + " \"" + Narrow(c.text) + "\" " +
           e2e::Describe(c.rect) + (c.visible ? "" : " hidden");
  return out;
}

RECT ClientRectOnScreen(HWND window) {
  RECT r{};
  GetClientRect(window, &r);
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

bool SavePng(const ScreenShot& shot, const std::wstring& path, std::string* error) {
  if (!shot.Valid()) {
    *error = "no picture to save";
    return false;
  }
  const RECT a = shot.Area();
  const int w = a.right - a.left, h = a.bottom - a.top;
  std::vector<std::uint32_t> rows(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const COLORREF c = shot.At(a.left + x, a.top + y);
      rows[static_cast<std::size_t>(y) * static_cast<std::size_t>(w) + static_cast<std::size_t>(x)] =
          (static_cast<std::uint32_t>(GetRValue(c)) << 16) | (static_cast<std::uint32_t>(GetGValue(c)) << 8) |
          GetBValue(c);
    }

  HMODULE gdiplus = LoadLibraryW(L"gdiplus.dll");
  if (gdiplus == nullptr) {
    *error = "gdiplus.dll does not load";
    return false;
  }
  const auto startup = Function<StartupFn>(gdiplus, "GdiplusStartup");
  const auto shutdown = Function<ShutdownFn>(gdiplus, "GdiplusShutdown");
  const auto fromScan0 = Function<FromScan0Fn>(gdiplus, "GdipCreateBitmapFromScan0");
  const auto save = Function<SaveFn>(gdiplus, "GdipSaveImageToFile");
  const auto dispose = Function<DisposeFn>(gdiplus, "GdipDisposeImage");
  bool saved = false;
  ULONG_PTR token = 0;
  const GdiplusStartupInput input;
  if (!startup || !shutdown || !fromScan0 || !save || !dispose) {
    *error = "gdiplus.dll lacks a function";
  } else if (startup(&token, &input, nullptr) != 0) {
    *error = "GdiplusStartup failed";
  } else {
    void* bitmap = nullptr;
    int status = fromScan0(w, h, w * 4, kPixelFormat32bppRGB, reinterpret_cast<BYTE*>(rows.data()), &bitmap);
    if (status == 0) {
      const std::wstring file = !path.empty() && path[0] == L'/' ? L"Z:" + path : path;
      status = save(bitmap, file.c_str(), &kPngEncoder, nullptr);
      dispose(bitmap);
    }
    saved = status == 0;
    if (!saved) *error = "GDI+ status " + std::to_string(status) + " for " + Narrow(path);
    shutdown(token);
  }
  FreeLibrary(gdiplus);
  return saved;
}

std::wstring DocumentationPicture(const std::wstring& name) {
  return Widen(TARNWICK_SCREENSHOT_DIR) + L"/" + name;
}

void SaveDocumentationPicture(const RECT& area, const std::wstring& name) {
  std::string error;
  EXPECT_TRUE(SavePng(ScreenShot::Take(area), DocumentationPicture(name), &error)) << error;
}

}  // namespace e2e
