#include "platform/win32/clipboard_win32.h"

#include <cstring>

#include "core/error.h"
#include "platform/win32/handles.h"
#include "platform/win32/utf.h"

namespace tw::win32 {

namespace {

class OpenedClipboard {
 public:
  explicit OpenedClipboard(HWND owner) {
    // Fails while another program has it open.
    if (OpenClipboard(owner) == FALSE) throw Error("Cannot open clipboard");
  }
  ~OpenedClipboard() { CloseClipboard(); }
  OpenedClipboard(const OpenedClipboard&) = delete;
  OpenedClipboard& operator=(const OpenedClipboard&) = delete;
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

  OpenedClipboard clipboard(owner_);
  EmptyClipboard();
  // Windows owns the memory only once it has taken it; the other text
  // formats it makes from this one on request.
  if (SetClipboardData(CF_UNICODETEXT, memory.get()) == nullptr) throw Error("Cannot set the clipboard data");
  memory.release();
}

}  // namespace tw::win32
