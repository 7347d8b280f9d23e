#include "platform/win32/clipboard_win32.h"

#include <cstring>

#include "core/error.h"
#include "platform/clipboard_handoff.h"
#include "platform/win32/handles.h"
#include "platform/win32/pixmap_dib.h"
#include "platform/win32/utf.h"

namespace tw::win32 {

namespace {

class ClipboardApi final : public IClipboardApi {
 public:
  explicit ClipboardApi(HWND owner) : owner_(owner) {}
  bool Open() override {
    return OpenClipboardPatiently([this] { return OpenClipboard(owner_) != FALSE; },
                                  [](std::chrono::milliseconds step) { Sleep(static_cast<DWORD>(step.count())); });
  }
  void Empty() override { EmptyClipboard(); }
  bool SetData(unsigned format, Data data) override {
    return SetClipboardData(format, reinterpret_cast<HANDLE>(data)) != nullptr;
  }
  void Close() override { CloseClipboard(); }
  void Free(unsigned format, Data data) override {
    if (format == CF_BITMAP)
      DeleteObject(reinterpret_cast<HGDIOBJ>(data));
    else
      GlobalFree(reinterpret_cast<HGLOBAL>(data));
  }

 private:
  HWND owner_;
};

}  // namespace

void ClipboardPort::SetText(const std::string& text) {
  const std::wstring wide = Widen(text);
  const std::size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
  UniqueGlobal memory(GlobalAlloc(GMEM_MOVEABLE, bytes));
  if (!memory) throw Error("Not enough memory for the clipboard");
  void* locked = GlobalLock(memory.get());
  if (locked == nullptr) throw Error("Not enough memory for the clipboard");
  std::memcpy(locked, wide.c_str(), bytes);
  GlobalUnlock(memory.get());
  ClipboardApi api(owner_);
  // The other text formats Windows makes from this one on request.
  HandOverToClipboard(api, CF_UNICODETEXT, reinterpret_cast<IClipboardApi::Data>(memory.release()));
}

void ClipboardPort::SetBitmap(const Pixmap& picture) {
  if (picture.Empty()) throw Error("Nothing to copy");
  // A device-dependent bitmap: a DIB section reaches other programs as a
  // 0 x 0 bitmap under Wine.
  WindowDC screen(nullptr);
  if (!screen) throw Error("Cannot create the bitmap");
  UniqueBitmap bitmap(CreateCompatibleBitmap(screen.get(), picture.Width(), picture.Height()));
  if (!bitmap) throw Error("Cannot create the bitmap");
  BITMAPINFO info = TopDownInfo(picture.Width(), picture.Height());
  if (SetDIBits(screen.get(), bitmap.get(), 0, static_cast<UINT>(picture.Height()), picture.Data().data(), &info,
                DIB_RGB_COLORS) != picture.Height())
    throw Error("Cannot create the bitmap");
  ClipboardApi api(owner_);
  HandOverToClipboard(api, CF_BITMAP, reinterpret_cast<IClipboardApi::Data>(bitmap.release()));
}

}  // namespace tw::win32
