// The one base of the program's modal dialogs. A dialog object is made for
// one showing: shown modally, ended, destroyed. Whether the user confirmed is
// a flag that only the OK handler sets, never the dialog's return value:
// Wine's dialog loop returns IDOK when WM_QUIT arrives during it.
#pragma once

#include <windows.h>

#include <memory>

#include "platform/win32/window_base.h"

namespace tw::win32 {

// Where the dialog's template comes from: a resource of the program, or a
// template in memory (DWORD-aligned, as DialogBoxIndirectParamW wants).
struct DialogTemplate {
  const wchar_t* resource = nullptr;
  const DLGTEMPLATE* memory = nullptr;
};

class DialogBase {
 public:
  virtual ~DialogBase() = default;
  DialogBase(const DialogBase&) = delete;
  DialogBase& operator=(const DialogBase&) = delete;

  // Shows the dialog, owned by `owner` (which it disables meanwhile), until
  // it ends. True when it ended through the OK handler. Throws tw::Error
  // when the dialog cannot be shown, or is asked to show a second time.
  bool ShowModal(HWND owner);

  // Null outside ShowModal.
  [[nodiscard]] HWND Handle() const { return state_->hwnd; }
  [[nodiscard]] LivenessToken Token() const { return LivenessToken(state_); }
  [[nodiscard]] bool Confirmed() const { return confirmed_; }

 protected:
  DialogBase(HINSTANCE instance, DialogTemplate source, ErrorDisplay errors);

  // One call per message: unpack the parameters and call one named handler.
  // TRUE when handled, as a dialog procedure answers.
  virtual INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);

  // TRUE to let the system give the focus to the first control.
  virtual INT_PTR OnInitDialog() { return TRUE; }
  // IDOK and IDCANCEL (Escape, the close box) go to OnOk and OnCancel.
  virtual INT_PTR OnCommand(int id, int code, HWND control);
  // The OK handler: a dialog that checks its values first overrides it and
  // calls Accept when they are good.
  virtual void OnOk() { Accept(); }
  virtual void OnCancel() { Dismiss(); }

  // Ends the dialog as confirmed; the one place that sets the flag.
  void Accept();
  // Ends the dialog unconfirmed.
  void Dismiss();

 private:
  static INT_PTR CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;
  static INT_PTR Call(const detail::WindowState& state, DialogBase& self, UINT msg, WPARAM wParam,
                      LPARAM lParam) noexcept;

  HINSTANCE instance_;
  DialogTemplate source_;
  std::shared_ptr<detail::WindowState> state_;
  bool shown_ = false;
  bool initialised_ = false;  // WM_INITDIALOG came
  bool confirmed_ = false;
};

}  // namespace tw::win32
