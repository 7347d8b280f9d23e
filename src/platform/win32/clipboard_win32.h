// The clipboard port on the Windows clipboard.
#pragma once

#include <windows.h>

#include "platform/ports.h"

namespace tw::win32 {

class ClipboardPort final : public IClipboardPort {
 public:
  // `owner` becomes the clipboard owner at each change.
  explicit ClipboardPort(HWND owner) : owner_(owner) {}
  void SetText(const std::string& text) override;
  void SetBitmap(const Pixmap& picture) override;

 private:
  HWND owner_;
};

}  // namespace tw::win32
