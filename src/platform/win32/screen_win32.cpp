#include "platform/win32/screen_win32.h"

#include <cstring>

#include "platform/win32/convert.h"
#include "platform/win32/handles.h"
#include "platform/win32/pixmap_dib.h"

namespace tw::win32 {

namespace {

class DesktopCanvas final : public IDesktopCanvas {
 public:
  explicit DesktopCanvas(HWND desktop) : dc_(desktop, GetDCEx(desktop, nullptr, DCX_WINDOW | DCX_CACHE)) {}
  [[nodiscard]] bool Held() const { return static_cast<bool>(dc_); }
  void CopyTo(const Rect& area, Pixmap& target) override { CopyFromDC(dc_.get(), area, target); }

 private:
  WindowDC dc_;
};

}  // namespace

Size ScreenPort::ScreenSize() { return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

Point ScreenPort::CursorPos() { return CursorPosition(); }

int ScreenPort::LogicalDpi() {
  WindowDC screen(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen.get(), LOGPIXELSX) : 0;
  return dpi > 0 ? dpi : 96;
}

std::unique_ptr<IDesktopCanvas> ScreenPort::AcquireDesktopCanvas() {
  auto canvas = std::make_unique<DesktopCanvas>(GetDesktopWindow());
  if (!canvas->Held()) return nullptr;
  return canvas;
}

void CopyFromDC(HDC source, const Rect& area, Pixmap& target) {
  Rect r;
  if (!IntersectRect(r, area, target.Bounds())) return;
  const int w = r.Width(), h = r.Height();
  BITMAPINFO info = TopDownInfo(w, h);
  void* bits = nullptr;
  UniqueBitmap dib(CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  UniqueMemDC memory(CreateCompatibleDC(source));
  if (!dib || !memory || bits == nullptr) return;
  {
    SelectionRestorer select(memory.get(), dib.get());
    // CAPTUREBLT brings layered windows along, as a screenshot should.
    BitBlt(memory.get(), 0, 0, w, h, source, r.left, r.top, SRCCOPY | CAPTUREBLT);
  }
  GdiFlush();
  const auto* in = static_cast<const PixelValue*>(bits);
  for (int y = 0; y < h; ++y) {
    // The unused fourth byte is left as GDI wrote it; clear it so that
    // pixel values compare as colours.
    PixelValue* out = target.Row(r.top + y) + r.left;
    for (int x = 0; x < w; ++x) out[x] = in[static_cast<std::size_t>(y) * w + x] & 0x00FFFFFFu;
  }
}

void PresentToDC(HDC target, const Pixmap& surface, const Rect& area) {
  Rect r;
  if (!IntersectRect(r, area, surface.Bounds())) return;
  // Only the band of rows being shown is handed over, as a top-down DIB of
  // its own: SetDIBitsToDevice counts source rows from the bottom for some
  // DIBs and from the top for others, and a band that starts at row 0 and is
  // copied whole sidesteps the question.
  BITMAPINFO info = TopDownInfo(surface.Width(), r.Height());
  SetDIBitsToDevice(target, r.left, r.top, static_cast<DWORD>(r.Width()), static_cast<DWORD>(r.Height()), r.left,
                    0, 0, static_cast<UINT>(r.Height()), surface.Row(r.top), &info, DIB_RGB_COLORS);
}

}  // namespace tw::win32
