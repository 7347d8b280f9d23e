// The dialogs port on Win32: each dialog owned by the application window, the
// hidden top-level window that owns everything outside a run (the host must
// stay enabled for a run that a hot key starts meanwhile).
#pragma once

#include <windows.h>

#include "app/dialog_port.h"
#include "platform/win32/window_base.h"

namespace tw::win32 {

class DialogPort final : public IDialogPort {
 public:
  DialogPort(HINSTANCE instance, HWND owner, ErrorDisplay errors)
      : instance_(instance), owner_(owner), errors_(std::move(errors)) {}

  bool ShowSetup(TfrmSetup& form) override;
  void ShowAbout() override;
  void ShowFirstRun() override;
  bool DialogOpen() override { return open_ > 0; }
  void BringDialogToFront() override;

 private:
  HINSTANCE instance_;
  HWND owner_;
  ErrorDisplay errors_;
  int open_ = 0;  // dialogs shown and not yet returned
};

}  // namespace tw::win32
